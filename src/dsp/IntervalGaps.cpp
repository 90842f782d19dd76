#include "IntervalGaps.h"

#include <algorithm>
#include <cmath>

#include "WideVectors.h"

namespace {

template <class T>
PARLANTO_LANES_INLINE T LanesMax(T a, T b)
{
    return b > a ? b : a;
}

// Sums of squared gaps in two groups of T lanes (so that their chains of additions overlap), then the rest one
// by one.
template <class T>
PARLANTO_LANES_INLINE double GapSquares(const double* xLow, const double* xHigh, const double* yLow,
                                        const double* yHigh, size_t width)
{
    constexpr size_t lanes = kLanes<T>;
    T sums[2] = {T{}, T{}};
    size_t k = 0;
    for (; k + 2 * lanes <= width; k += 2 * lanes) {
        for (size_t g = 0; g < 2; ++g) {
            const size_t at = k + g * lanes;
            const T above = LoadLanes(yLow + at, T{}) - LoadLanes(xHigh + at, T{});
            const T below = LoadLanes(xLow + at, T{}) - LoadLanes(yHigh + at, T{});
            const T gap = LanesMax(LanesMax(above, below), T{});
            sums[g] += gap * gap;
        }
    }
    double lanesSum[2 * lanes];
    StoreLanes(lanesSum, sums[0]);
    StoreLanes(lanesSum + lanes, sums[1]);
    double sum = 0.0;
    for (const double part : lanesSum)
        sum += part;
    for (; k < width; ++k) {
        const double gap = std::max({yLow[k] - xHigh[k], xLow[k] - yHigh[k], 0.0});
        sum += gap * gap;
    }
    return sum;
}

PARLANTO_WIDE_TARGET double WideGapSquares(const double* xLow, const double* xHigh, const double* yLow,
                                           const double* yHigh, size_t width)
{
    return GapSquares<TDoubleQuad>(xLow, xHigh, yLow, yHigh, width);
}

double NarrowGapSquares(const double* xLow, const double* xHigh, const double* yLow, const double* yHigh,
                        size_t width)
{
    return GapSquares<TDoublePair>(xLow, xHigh, yLow, yHigh, width);
}

}  // namespace

double IntervalGapRms(const double* xLow, const double* xHigh, const double* yLow, const double* yHigh,
                      size_t width)
{
    const double sum = ByVectorWidth(WideGapSquares, NarrowGapSquares, xLow, xHigh, yLow, yHigh, width);
    return std::sqrt(sum / static_cast<double>(width));
}
