// Main tone of a magnitude spectrum by harmonic analysis: peaks standing out of the smoothed envelope in the lower
// third of the spectrum give tone candidates, and the candidate whose harmonic comb fits the spectrum best wins.
#include "SovoUtils.h"

#include <algorithm>
#include <vector>

#include "ArithmeticPath.h"
#include "HarmonicComb.h"
#include "PeakLevels.h"
#include "SeriesHelpers.h"
#include "ToneEnvelope.h"

namespace {

constexpr int32_t kLowBins = kBinCount / 3;   // peaks and combs use bins below about 3.64 kHz
constexpr double kPeakFloor = 0.05;           // normalised values below this are no peaks at all
constexpr double kPickedEnough = 0.75;        // share of the lower band that ends peak picking
constexpr double kWeakWeightRatio = 0.3;      // peaks weaker than this against the mean weight are dropped
constexpr int32_t kRefineHz = 22;             // candidates are tried within +-kBinHz, rounded, in 1 Hz steps

constexpr int32_t kNoGroup = -1;

// Values closer than one bin apart become their mean (the list is sorted ascending).
void MergeClose(TArrayOfDouble& values)
{
    std::size_t i = 0;
    while (i + 1 < values.size()) {
        if (values[i + 1] - values[i] >= kBinHz) {
            ++i;
        } else {
            values[i] = (values[i] + values[i + 1]) / 2;
            values.erase(values.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }
}

}  // namespace

TToneEstimator::TToneEstimator() = default;

double TToneEstimator::MainTone(const double* spectrum)
{
    NormaliseAndSmooth(spectrum, normalized_, lowBand_, smoothed_);
    FindPeaks();
    ChooseTone();
    return toneResult_;
}

void TToneEstimator::FindPeaks()
{
    double total = 0.0;
    for (int32_t k = kFirstToneBin; k < kLowBins; ++k)
        total += normalized_[k];
    // The lower band, before thresholding, is what the harmonic combs are matched against.
    std::fill(lowBand_, lowBand_ + kFirstToneBin, 0.0);
    std::copy(normalized_ + kFirstToneBin, normalized_ + kLowBins, lowBand_ + kFirstToneBin);
    std::fill(lowBand_ + kLowBins, lowBand_ + kBinCount, 0.0);
    for (double& value : normalized_)
        value = value < kPeakFloor ? 0.0 : value;   // without a branch, so that it vectorises
    if (total == 0)
        return;   // nothing in the lower band: the candidates of the previous frame stay

    // Passes with a falling threshold take bins until they hold most of the lower band's energy, or until a bin
    // would bridge two peaks. A taken bin is never taken again, so the taken bins that touch bin k can only
    // be its two neighbours.
    int32_t groupOf[kLowBins + 1];
    std::fill(std::begin(groupOf), std::end(groupOf), kNoGroup);
    peakBins_.clear();
    peakGroups_.clear();
    int32_t groups = 0;
    double picked = 0.0;
    bool bridged = false;
    // The thresholds rise with the level, so a bin exceeds them from some level down (a zero bin, as most are
    // after the floor, never: the thresholds are not negative), and the pass at that level takes it. The bins
    // are sorted by that level, in order within it, so that each pass visits only the bins it takes.
    const bool quick = ArithmeticPath() == TArithmeticPath::Fast;
    int32_t byLevel[kFirstLevel + 1][kLowBins];
    int32_t levelCounts[kFirstLevel + 1] = {};
    int32_t levels[kLowBins];
    PeakLevels(normalized_, smoothed_, kFirstToneBin, kLowBins, levels, quick);
    for (int32_t k = kFirstToneBin; k < kLowBins; ++k)
        byLevel[levels[k]][levelCounts[levels[k]]++] = k;   // level 0, which no pass takes, collects the rest
    for (int32_t level = kFirstLevel; level > 0; --level) {
        for (int32_t i = 0; i < levelCounts[level]; ++i) {
            const int32_t k = byLevel[level][i];
            const int32_t below = groupOf[k - 1];
            const int32_t above = groupOf[k + 1];
            if (below != kNoGroup && above != kNoGroup) {
                bridged = true;
                normalized_[k] = 0.0;   // a bridging bin joins no peak and counts for nothing
            } else {
                const int32_t group = below != kNoGroup ? below : above != kNoGroup ? above : groups++;
                groupOf[k] = group;
                peakBins_.push_back(k);
                peakGroups_.push_back(group);
            }
            picked += normalized_[k];
            normalized_[k] = 0.0;
        }
        if (picked / total > kPickedEnough || bridged)
            break;
    }

    // Every group's bins in the order they were taken.
    int32_t binSums[kLowBins] = {};
    double bandSums[kLowBins] = {};
    int32_t members[kLowBins] = {};
    for (std::size_t i = 0; i < peakBins_.size(); ++i) {
        binSums[peakGroups_[i]] += peakBins_[i];
        bandSums[peakGroups_[i]] += lowBand_[peakBins_[i]];
        ++members[peakGroups_[i]];
    }
    candidates_.resize(static_cast<std::size_t>(groups));
    candidateWeights_.resize(static_cast<std::size_t>(groups));
    for (int32_t g = 0; g < groups; ++g) {
        candidates_[g] = kBinHz * (binSums[g] / static_cast<double>(members[g]));
        candidateWeights_[g] = bandSums[g] / total / members[g];
    }
    if (groups == 0)
        return;

    double weightSum = 0.0;
    for (const double weight : candidateWeights_)
        weightSum += weight;
    const double meanWeight = weightSum / groups;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        if (candidateWeights_[i] / meanWeight < kWeakWeightRatio || candidateWeights_[i] == 0)
            continue;
        candidates_[kept] = candidates_[i];
        candidateWeights_[kept] = candidateWeights_[i];
        ++kept;
    }
    candidates_.resize(kept);
    candidateWeights_.resize(kept);
}

void TToneEstimator::ChooseTone()
{
    if (candidates_.empty()) {
        toneResult_ = kBinHz;
        return;
    }
    if (candidates_.size() == 1) {
        toneResult_ = candidates_[0];
        return;
    }
    // The lowest peak and the spacings between neighbouring peaks are all guesses of the fundamental.
    SortDoubles(candidates_);
    for (std::size_t i = candidates_.size() - 1; i >= 1; --i)
        candidates_[i] -= candidates_[i - 1];
    SortDoubles(candidates_);
    MergeClose(candidates_);
    MergeClose(candidates_);

    if (ArithmeticPath() == TArithmeticPath::Fast) {
        combSearch_.Prepare(smoothed_, lowBand_);
        const auto tone = combSearch_.Best(candidates_, kRefineHz, [this](double f) { return PlainCombScore(f); });
        if (tone)
            toneResult_ = *tone;
        return;
    }
    double best = 0.0;
    for (const double candidate : candidates_) {
        for (int32_t offset = -kRefineHz; offset <= kRefineHz; ++offset) {
            const double frequency = candidate + offset;
            const double score = PlainCombScore(frequency);
            if (score > best) {
                best = score;
                toneResult_ = frequency;
            }
        }
    }
}

double TToneEstimator::PlainCombScore(double frequency)
{
    BuildComb(frequency);
    return Correlate(comb_, kBinCount, lowBand_, kBinCount) * 0.5 + 0.5;
}

void TToneEstimator::BuildComb(double frequency)
{
    std::fill(comb_, comb_ + kBinCount, 0.0);
    const double fundamental = std::max(frequency, kBinHz);
    for (int32_t harmonic = 1; harmonic < kCombHarmonicLimit; ++harmonic) {
        const int32_t bin = static_cast<int32_t>(harmonic * fundamental / kBinHz);
        if (bin + 2 >= kBinCount)
            break;
        for (int32_t c = 0; c < kCombCells; ++c)
            comb_[bin - 1 + c] = kCombWeights[c];
    }
    for (int32_t k = 0; k < kBinCount; ++k)
        comb_[k] *= smoothed_[k];
}
