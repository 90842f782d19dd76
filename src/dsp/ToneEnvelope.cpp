#include "ToneEnvelope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "ArithmeticPath.h"
#include "SeriesHelpers.h"
#include "SignalFormat.h"
#include "WideVectors.h"

namespace {

constexpr int32_t kWindowBefore = 8;   // spreading and smoothing look at bins k-8 .. k+7
constexpr int32_t kWindowAfter = 7;
constexpr int32_t kWindowLength = kWindowBefore + kWindowAfter + 1;
// Bins whose whole window lies inside bins 2..511, an even number of them from the first on.
constexpr int32_t kFirstInnerBin = kFirstToneBin + kWindowBefore;
constexpr int32_t kInnerEnd = kFirstInnerBin + (kBinCount - kWindowAfter - kFirstInnerBin) / 2 * 2;

// Raised-cosine weights of the smoothing window, for offsets -8..7 (the -8 weight is 0 but the term counts).
const std::array<double, kWindowLength>& SmoothingWeights()
{
    static const auto weights = [] {
        std::array<double, kWindowLength> w{};
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l)
            w[l + kWindowBefore] = 0.5 * std::cos(l * std::numbers::pi / 8) + 0.5;
        return w;
    }();
    return weights;
}

constexpr double SpreadWeight(int32_t l)
{
    return static_cast<double>(kWindowBefore - (l < 0 ? -l : l)) / kWindowBefore;
}

// The plain steps, one bin at a time: bin k's window, cut short at bins 2 and 511 ...
int32_t WindowStart(int32_t k)
{
    return std::max(-kWindowBefore, kFirstToneBin - k);
}

int32_t WindowEnd(int32_t k)
{
    return std::min(kWindowAfter, kBinCount - 1 - k);
}

// ... its triangular maximum ...
double SpreadAt(const double* values, int32_t k)
{
    double spread = 0.0;
    for (int32_t l = WindowStart(k); l <= WindowEnd(k); ++l)
        spread = std::max(spread, SpreadWeight(l) * values[k + l]);
    return spread;
}

// ... and its raised-cosine average.
double SmoothedAt(const double* spread, int32_t k)
{
    const auto& weights = SmoothingWeights();
    double sum = 0.0;
    int32_t terms = 0;
    for (int32_t l = WindowStart(k); l <= WindowEnd(k); ++l) {
        sum += weights[l + kWindowBefore] * spread[k + l];
        ++terms;
    }
    return sum / terms;
}

void DivideAll(double* values, int32_t from, int32_t to, double divisor)
{
    for (int32_t k = from; k < to; ++k)
        values[k] /= divisor;
}

// The fast steps, T lanes of neighbouring bins at a time where the whole window lies inside the bins, each lane
// taking the same terms in the same order as SpreadAt and SmoothedAt for its bin; as far as whole groups reach
// below to, returning where they stop.
template <class T>
PARLANTO_LANES_INLINE int32_t SpreadLanes(const double* values, double* spread, int32_t from, int32_t to)
{
    int32_t k = from;
    for (; k + kLanes<T> <= to; k += kLanes<T>) {
        T largest = T{};
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l) {
            const T term = SpreadWeight(l) * LoadLanes(values + k + l, T{});
            largest = term > largest ? term : largest;
        }
        StoreLanes(spread + k, largest);
    }
    return k;
}

template <class T>
PARLANTO_LANES_INLINE int32_t SmoothLanes(const double* spread, double* smoothed, int32_t from, int32_t to)
{
    const auto& weights = SmoothingWeights();
    int32_t k = from;
    for (; k + kLanes<T> <= to; k += kLanes<T>) {
        T sum = T{};
        for (int32_t l = -kWindowBefore; l <= kWindowAfter; ++l)
            sum += weights[l + kWindowBefore] * LoadLanes(spread + k + l, T{});
        StoreLanes(smoothed + k, sum / kWindowLength);
    }
    return k;
}

template <class T>
PARLANTO_LANES_INLINE int32_t DivideLanes(double* values, int32_t from, int32_t to, double divisor)
{
    int32_t k = from;
    for (; k + kLanes<T> <= to; k += kLanes<T>)
        StoreLanes(values + k, LoadLanes(values + k, T{}) / divisor);
    return k;
}

// The bins near either end, whose window is cut short, plainly.
void SpreadEdges(const double* values, double* spread)
{
    for (int32_t k = kFirstToneBin; k < kFirstInnerBin; ++k)
        spread[k] = SpreadAt(values, k);
    for (int32_t k = kInnerEnd; k < kBinCount; ++k)
        spread[k] = SpreadAt(values, k);
}

void SmoothEdges(const double* spread, double* smoothed)
{
    for (int32_t k = kFirstToneBin; k < kFirstInnerBin; ++k)
        smoothed[k] = SmoothedAt(spread, k);
    for (int32_t k = kInnerEnd; k < kBinCount; ++k)
        smoothed[k] = SmoothedAt(spread, k);
}

// The fast path after the peak: T lanes at a time, pairs for what is left (every range here is even).
template <class T>
PARLANTO_LANES_INLINE void FastNormaliseAndSmooth(double* normalized, double* spread, double* smoothed, double peak)
{
    DivideLanes<TDoublePair>(normalized, DivideLanes<T>(normalized, 0, kBinCount, peak), kBinCount, peak);
    SpreadLanes<TDoublePair>(normalized, spread, SpreadLanes<T>(normalized, spread, kFirstInnerBin, kInnerEnd),
                             kInnerEnd);
    SpreadEdges(normalized, spread);
    SmoothLanes<TDoublePair>(spread, smoothed, SmoothLanes<T>(spread, smoothed, kFirstInnerBin, kInnerEnd), kInnerEnd);
    SmoothEdges(spread, smoothed);
    const double smoothedPeak = LargestOf(smoothed, kFirstToneBin, kBinCount, true);
    if (smoothedPeak == 0)
        return;
    DivideLanes<TDoublePair>(smoothed, DivideLanes<T>(smoothed, kFirstToneBin, kBinCount, smoothedPeak), kBinCount,
                             smoothedPeak);
}

PARLANTO_WIDE_TARGET void FastNormaliseAndSmoothWide(double* normalized, double* spread, double* smoothed, double peak)
{
    FastNormaliseAndSmooth<TDoubleQuad>(normalized, spread, smoothed, peak);
}

void FastNormaliseAndSmoothNarrow(double* normalized, double* spread, double* smoothed, double peak)
{
    FastNormaliseAndSmooth<TDoublePair>(normalized, spread, smoothed, peak);
}

}  // namespace

void NormaliseAndSmooth(const double* spectrum, double* normalized, double* spread, double* smoothed)
{
    std::copy(spectrum, spectrum + kBinCount, normalized);
    const bool fast = ArithmeticPath() == TArithmeticPath::Fast;
    const double peak = LargestOf(normalized, 0, kBinCount, fast);
    if (peak == 0)
        return;   // silence: the envelope of the previous frame stays
    if (fast) {
        ByVectorWidth(FastNormaliseAndSmoothWide, FastNormaliseAndSmoothNarrow, normalized, spread, smoothed, peak);
        return;
    }
    DivideAll(normalized, 0, kBinCount, peak);
    for (int32_t k = kFirstToneBin; k < kBinCount; ++k)
        spread[k] = SpreadAt(normalized, k);
    for (int32_t k = kFirstToneBin; k < kBinCount; ++k)
        smoothed[k] = SmoothedAt(spread, k);
    const double smoothedPeak = LargestOf(smoothed, kFirstToneBin, kBinCount, false);
    if (smoothedPeak == 0)
        return;
    DivideAll(smoothed, kFirstToneBin, kBinCount, smoothedPeak);
}
