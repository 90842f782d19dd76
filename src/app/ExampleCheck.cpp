#include "ExampleCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "AlignedLikeness.h"
#include "CommandRejection.h"

namespace {

constexpr int kQuietPeak = 1024;             // 1/32 of full scale
constexpr int kFullScale = 32767;
constexpr size_t kClippedRun = 3;            // samples in a row at full scale: a flat top, not a lone peak
constexpr double kNoisyRatioDb = 15.0;       // about 5 dB of speech over noise; development takes of 15 dB
                                             // over noise stay above 20 dB here
// A new example is different when its distance to the others is more than this many times their mean
// distance to one another (each left out in turn). Chosen on development speakers: about one right take in a
// hundred is called different, and nine in ten takes of another word.
constexpr double kDifferentRatio = 2.5;
// Examples closer to one another than this (a likeness of 86 %) are near copies, closer than development
// speakers' takes of a word come; they are taken as this close, so that a sound new take is not called
// different from copies of one recording.
constexpr double kNearCopyDistance = 0.15;

std::vector<double> HopEnergies(std::span<const int16_t> samples)
{
    std::vector<double> energies;
    for (size_t start = 0; start < samples.size(); start += kHopSize) {
        const std::span<const int16_t> hop = samples.subspan(start, std::min<size_t>(kHopSize, samples.size() - start));
        double sum = 0.0;
        for (const int16_t sample : hop)
            sum += static_cast<double>(sample) * sample;
        energies.push_back(sum / static_cast<double>(hop.size()));
    }
    return energies;
}

// How far the loudest tenth of the hops stands above the quietest tenth, in dB; infinite over silence.
double LoudOverQuietDb(std::vector<double> energies)
{
    std::sort(energies.begin(), energies.end());
    const size_t tenth = std::max<size_t>(1, energies.size() / 10);
    const double quiet = std::accumulate(energies.begin(), energies.begin() + static_cast<std::ptrdiff_t>(tenth), 0.0);
    const double loud = std::accumulate(energies.end() - static_cast<std::ptrdiff_t>(tenth), energies.end(), 0.0);
    return quiet <= 0.0 ? INFINITY : 10.0 * std::log10(loud / quiet);
}

void CheckLevels(std::span<const int16_t> samples, std::vector<TExampleWarning>& warnings)
{
    int peak = 0;
    size_t run = 0;
    size_t longestRun = 0;
    for (const int16_t sample : samples) {
        const int magnitude = std::abs(static_cast<int>(sample));
        peak = std::max(peak, magnitude);
        run = magnitude >= kFullScale ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
    }
    if (peak < kQuietPeak)
        warnings.push_back(TExampleWarning::TooQuiet);
    if (longestRun >= kClippedRun)
        warnings.push_back(TExampleWarning::Clipped);
    const std::vector<double> energies = HopEnergies(samples);
    if (!energies.empty() && LoudOverQuietDb(energies) < kNoisyRatioDb)
        warnings.push_back(TExampleWarning::MostlyNoise);
}

double AlignedDistance(double likeness)
{
    return -std::log(std::max(likeness, 1e-300));
}

// The best likeness of traj with the examples other than skip.
double BestLikeness(const TCommandTraj& traj, const std::vector<TCommandTraj>& examples, const TCommandTraj* skip)
{
    const TAlignedMatcher matcher(traj);
    double best = 0.0;
    for (const TCommandTraj& example : examples) {
        if (&example != skip)
            best = std::max(best, matcher.Likeness(example));
    }
    return best;
}

// With one other example only its likeness can be judged: different when the command would reject it.
bool IsDifferent(const TCommandTraj& utterance, const std::vector<TCommandTraj>& examples)
{
    const double likeness = BestLikeness(utterance, examples, nullptr);
    if (examples.size() == 1)
        return likeness < *AcceptanceThreshold(TRejection{TRejection::TKind::On}, TMatchMode::Aligned, utterance);
    double own = 0.0;
    for (const TCommandTraj& example : examples)
        own += AlignedDistance(BestLikeness(example, examples, &example));
    own = std::max(own / static_cast<double>(examples.size()), kNearCopyDistance);
    return AlignedDistance(likeness) > kDifferentRatio * own;
}

}  // namespace

std::vector<TExampleWarning> CheckExample(std::span<const int16_t> samples, const TCommandTraj& utterance,
                                          const TVoiceCommandModel* command)
{
    std::vector<TExampleWarning> warnings;
    CheckLevels(samples, warnings);
    if (command != nullptr && !command->Trajectories.empty() && IsDifferent(utterance, command->FullTrajectories()))
        warnings.push_back(TExampleWarning::Different);
    return warnings;
}
