#include "CommandRejection.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <vector>

#include "LoudSpan.h"

namespace {

// How noisy an utterance is: log10 of its loudest row's score sum over the mean of its quietest tenth. With the
// shipped phoneme set, words 15 to 35 dB over white or pink noise come to about 0.6..2.5, words 45 to 60 dB over
// it to 2.2 and more, over digital silence far more.
constexpr double kNoisySpan = 2.0;   // at most this: the bar of a noisy room
constexpr double kQuietSpan = 4.0;   // at least this: the bar of a quiet room; between, the bars are blended

// Chosen with the shipped phoneme set on development speakers apart from those the figures are reported on: in
// quiet rooms and in noise alike, one right answer in sixty to eighty is rejected there. Classic Likes of right
// answers and of other words lie close together, so classic rejection, one bar for all, lets far more through.
constexpr double kAlignedNoisyThreshold = 0.41;
constexpr double kAlignedQuietThreshold = 0.61;
constexpr double kClassicThreshold = 0.66;

double LoudnessSpan(const TCommandTraj& utterance)
{
    std::vector<double> loudness;
    for (const std::vector<double>& row : utterance.Rows)
        loudness.push_back(std::accumulate(row.begin(), row.end(), 0.0));
    if (loudness.empty())
        return kNoisySpan;
    double floor = 0.0;
    const std::vector<size_t> quiet = QuietestTenth(loudness);
    for (const size_t row : quiet)
        floor += loudness[row];
    floor /= static_cast<double>(quiet.size());
    const double peak = *std::max_element(loudness.begin(), loudness.end());
    return floor > 0.0 ? std::log10(peak / floor) : kQuietSpan;
}

// The noisy room's bar up to kNoisySpan, the quiet room's from kQuietSpan, and between them a blend even in
// the logarithms of both.
double AlignedThreshold(const TCommandTraj& utterance)
{
    const double quietness = std::clamp((LoudnessSpan(utterance) - kNoisySpan) / (kQuietSpan - kNoisySpan), 0.0, 1.0);
    return std::exp((1.0 - quietness) * std::log(kAlignedNoisyThreshold) + quietness * std::log(kAlignedQuietThreshold));
}

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

bool RejectsIn(const TRejection& rejection, TMatchMode mode)
{
    return rejection.Kind == TRejection::TKind::Auto ? mode == TMatchMode::Aligned
                                                      : rejection.Kind != TRejection::TKind::Off;
}

std::optional<double> AcceptanceThreshold(const TRejection& rejection, TMatchMode mode, const TCommandTraj& utterance)
{
    if (!RejectsIn(rejection, mode))
        return std::nullopt;
    if (rejection.Kind == TRejection::TKind::Threshold)
        return rejection.Like;
    return mode == TMatchMode::Aligned ? AlignedThreshold(utterance) : kClassicThreshold;
}

bool IsAccepted(double like, const TCommandTraj& utterance, const TRejection& rejection, TMatchMode mode)
{
    if (like < 0.0)
        return true;
    const std::optional<double> threshold = AcceptanceThreshold(rejection, mode, utterance);
    return !threshold || like >= *threshold;
}
