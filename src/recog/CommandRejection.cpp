#include "CommandRejection.h"

#include <charconv>

namespace {

// Chosen on development speakers apart from those the figures are reported on, in quiet rooms and in noise
// together: about one right answer in seventy (aligned) and in fifty (classic) is rejected there. Classic
// Likes of right answers and of other words lie close together, so classic rejection lets far more through.
constexpr double kAlignedThreshold = 0.45;
constexpr double kClassicThreshold = 0.68;

}  // namespace

std::optional<TRejection> RejectionNamed(const std::string& text)
{
    if (text == "auto")
        return TRejection{TRejection::TKind::Auto};
    if (text == "on")
        return TRejection{TRejection::TKind::On};
    if (text == "off")
        return TRejection{TRejection::TKind::Off};
    double like = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), like);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(like >= 0.0 && like <= 1.0))
        return std::nullopt;
    return TRejection{TRejection::TKind::Threshold, like};
}

std::optional<double> AcceptanceThreshold(const TRejection& rejection, TMatchMode mode)
{
    const double modeThreshold = mode == TMatchMode::Aligned ? kAlignedThreshold : kClassicThreshold;
    switch (rejection.Kind) {
    case TRejection::TKind::Auto:
        return mode == TMatchMode::Aligned ? std::optional<double>(modeThreshold) : std::nullopt;
    case TRejection::TKind::On:
        return modeThreshold;
    case TRejection::TKind::Threshold:
        return rejection.Like;
    case TRejection::TKind::Off:
        break;
    }
    return std::nullopt;
}

bool IsAccepted(double like, const TRejection& rejection, TMatchMode mode)
{
    const std::optional<double> threshold = AcceptanceThreshold(rejection, mode);
    return !threshold || like < 0.0 || like >= *threshold;
}
