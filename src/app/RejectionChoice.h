#pragma once
// The user's choice about rejecting utterances that are no command, remembered for each matcher apart: as
// CommandRejection.h's auto has it (on with aligned matching, off with classic) until the user says otherwise.
#include "CommandRejection.h"

class TRejectionChoice {
public:
    bool IsOn(TMatchMode mode) const;
    void Set(TMatchMode mode, bool on);
    // On at the mode's own threshold, or off.
    TRejection For(TMatchMode mode) const;

private:
    bool aligned_ = RejectsIn(TRejection{}, TMatchMode::Aligned);
    bool classic_ = RejectsIn(TRejection{}, TMatchMode::Classic);
};

// Shown in place of the command of a rejected utterance.
inline constexpr const char* kNotACommandText = "Не команда";
