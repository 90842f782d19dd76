// Main tone of a magnitude spectrum by harmonic analysis: peaks standing out of the smoothed envelope in the lower
// third of the spectrum give tone candidates, and the candidate whose harmonic comb fits the spectrum best wins.
#include "SovoUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

constexpr int32_t kLowBins = kBinCount / 3;   // peaks and combs use bins below about 3.64 kHz
constexpr int32_t kFirstBin = 2;              // bins 0 and 1 (DC and its neighbour) never count
constexpr int32_t kWindowBefore = 8;          // spreading and smoothing look at bins k-8 .. k+7
constexpr int32_t kWindowAfter = 7;
constexpr double kPeakFloor = 0.05;           // normalised values below this are no peaks at all
constexpr int32_t kFirstLevel = 10;           // the first pass takes bins above 10/11 of the envelope
constexpr double kLevelDivisor = 11.0;
constexpr double kPickedEnough = 0.75;        // share of the lower band that ends peak picking
constexpr double kWeakWeightRatio = 0.3;      // peaks weaker than this against the mean weight are dropped
constexpr int32_t kRefineHz = 22;             // candidates are tried within +-kBinHz, rounded, in 1 Hz steps
constexpr double kCombFlank = 0.2;

// A group is a run of neighbouring bins taken as one peak.
using TPeakGroups = std::vector<std::vector<int32_t>>;
constexpr int kNoGroup = -1;
constexpr int kTwoGroups = -2;   // the bin touches two taken bins: it would join separate peaks

double LargestOf(const double* values, int32_t from, int32_t to)
{
    double largest = 0.0;
    for (int32_t i = from; i < to; ++i)
        largest = std::max(largest, values[i]);
    return largest;
}

// Raised-cosine weights of the smoothing window, for offsets -8..7 (the -8 weight is 0 but the term counts).
const std::array<double, kWindowBefore + kWindowAfter + 1>& SmoothingWeights()
{
    static const auto weights = [] {
        std::array<double, kWindowBefore + kWindowAfter + 1> w{};
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l)
            w[l + kWindowBefore] = 0.5 * std::cos(l * std::numbers::pi / 8) + 0.5;
        return w;
    }();
    return weights;
}

// The group that bin touches (a member within one bin), kNoGroup, or kTwoGroups as soon as a second member touches.
int FindGroup(const TPeakGroups& groups, int32_t bin)
{
    int found = kNoGroup;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const int32_t member : groups[g]) {
            if (std::abs(member - bin) > 1)
                continue;
            if (found != kNoGroup)
                return kTwoGroups;
            found = static_cast<int>(g);
        }
    }
    return found;
}

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
    PrepareSpectrum(spectrum);
    FindPeaks();
    ChooseTone();
    return toneResult_;
}

void TToneEstimator::PrepareSpectrum(const double* spectrum)
{
    std::copy(spectrum, spectrum + kBinCount, normalized_);
    const double peak = LargestOf(normalized_, 0, kBinCount);
    if (peak == 0)
        return;   // silence: the envelope of the previous frame stays
    for (double& value : normalized_)
        value /= peak;

    // Triangular maximum filter, then a raised-cosine average: the envelope the peaks must stand out of.
    for (int32_t k = kFirstBin; k < kBinCount; ++k) {
        double spread = 0.0;
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l) {
            const int32_t at = k + l;
            if (at < kFirstBin || at >= kBinCount)
                continue;
            spread = std::max(spread, static_cast<double>(kWindowBefore - std::abs(l)) / kWindowBefore * normalized_[at]);
        }
        lowBand_[k] = spread;
    }
    const auto& weights = SmoothingWeights();
    for (int32_t k = kFirstBin; k < kBinCount; ++k) {
        double sum = 0.0;
        int32_t terms = 0;
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l) {
            const int32_t at = k + l;
            if (at < kFirstBin || at >= kBinCount)
                continue;
            sum += weights[l + kWindowBefore] * lowBand_[at];
            ++terms;
        }
        smoothed_[k] = sum / terms;
    }
    const double smoothedPeak = LargestOf(smoothed_, kFirstBin, kBinCount);
    if (smoothedPeak == 0)
        return;
    for (int32_t k = kFirstBin; k < kBinCount; ++k)
        smoothed_[k] /= smoothedPeak;
}

void TToneEstimator::FindPeaks()
{
    double total = 0.0;
    for (int32_t k = kFirstBin; k < kLowBins; ++k)
        total += normalized_[k];
    // The lower band, before thresholding, is what the harmonic combs are matched against.
    std::fill(lowBand_, lowBand_ + kFirstBin, 0.0);
    std::copy(normalized_ + kFirstBin, normalized_ + kLowBins, lowBand_ + kFirstBin);
    std::fill(lowBand_ + kLowBins, lowBand_ + kBinCount, 0.0);
    for (double& value : normalized_) {
        if (value < kPeakFloor)
            value = 0.0;
    }
    if (total == 0)
        return;   // nothing in the lower band: the candidates of the previous frame stay

    // Passes with a falling threshold take bins until they hold most of the lower band's energy, or until a bin
    // would bridge two peaks.
    TPeakGroups groups;
    double picked = 0.0;
    bool bridged = false;
    for (int32_t level = kFirstLevel; level > 0; --level) {
        for (int32_t k = kFirstBin; k < kLowBins; ++k) {
            if (!(normalized_[k] > level * smoothed_[k] / kLevelDivisor))
                continue;
            const int group = FindGroup(groups, k);
            if (group == kNoGroup) {
                groups.push_back({k});
            } else if (group == kTwoGroups) {
                bridged = true;
                normalized_[k] = 0.0;   // a bridging bin joins no peak and counts for nothing
            } else {
                groups[static_cast<std::size_t>(group)].push_back(k);
            }
            picked += normalized_[k];
            normalized_[k] = 0.0;
        }
        if (picked / total > kPickedEnough || bridged)
            break;
    }

    candidates_.resize(groups.size());
    candidateWeights_.resize(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        int32_t binSum = 0;
        double bandSum = 0.0;
        for (const int32_t bin : groups[g]) {
            binSum += bin;
            bandSum += lowBand_[bin];
        }
        const double members = static_cast<double>(groups[g].size());
        candidates_[g] = kBinHz * (binSum / members);
        candidateWeights_[g] = bandSum / total / members;
    }
    if (groups.empty())
        return;

    double weightSum = 0.0;
    for (const double weight : candidateWeights_)
        weightSum += weight;
    const double meanWeight = weightSum / static_cast<double>(groups.size());
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

    double best = 0.0;
    for (const double candidate : candidates_) {
        for (int32_t offset = -kRefineHz; offset <= kRefineHz; ++offset) {
            const double frequency = candidate + offset;
            BuildComb(frequency);
            const double score = Correlate(comb_, kBinCount, lowBand_, kBinCount) * 0.5 + 0.5;
            if (score > best) {
                best = score;
                toneResult_ = frequency;
            }
        }
    }
}

void TToneEstimator::BuildComb(double frequency)
{
    std::fill(comb_, comb_ + kBinCount, 0.0);
    const double fundamental = std::max(frequency, kBinHz);
    for (int32_t harmonic = 1; harmonic < kLowBins; ++harmonic) {
        const int32_t bin = static_cast<int32_t>(harmonic * fundamental / kBinHz);
        if (bin + 2 >= kBinCount)
            break;
        comb_[bin - 1] = kCombFlank;
        comb_[bin] = 1.0;
        comb_[bin + 1] = 1.0;
        comb_[bin + 2] = kCombFlank;
    }
    for (int32_t k = 0; k < kBinCount; ++k)
        comb_[k] *= smoothed_[k];
}
