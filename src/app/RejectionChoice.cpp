#include "RejectionChoice.h"

bool TRejectionChoice::IsOn(TMatchMode mode) const
{
    return mode == TMatchMode::Aligned ? aligned_ : classic_;
}

void TRejectionChoice::Set(TMatchMode mode, bool on)
{
    (mode == TMatchMode::Aligned ? aligned_ : classic_) = on;
}

TRejection TRejectionChoice::For(TMatchMode mode) const
{
    return TRejection{IsOn(mode) ? TRejection::TKind::On : TRejection::TKind::Off};
}
