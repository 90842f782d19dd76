#include "RmsDifferences.h"

#include <cmath>

#include "ArithmeticPath.h"
#include "WideVectors.h"

namespace {

double RootMean(double sum, size_t width)
{
    return std::sqrt(sum / static_cast<double>(width));
}

// Frames from j on, groups of T lanes at a time (several groups, so that their chains of additions overlap),
// as far as whole steps reach to high; returns where they stop.
template <class T, size_t groups>
PARLANTO_LANES_INLINE size_t LaneDifferences(const double* x, const double* turned, size_t count, size_t width,
                                             size_t j, size_t high, double* costs)
{
    constexpr size_t step = groups * kLanes<T>;
    for (; j + step <= high + 1; j += step) {
        T sums[groups];
        for (T& sum : sums)
            sum = T{};
        for (size_t k = 0; k < width; ++k) {
            for (size_t g = 0; g < groups; ++g) {
                const T difference = x[k] - LoadLanes(turned + k * count + j + g * kLanes<T>, T{});
                sums[g] += difference * difference;
            }
        }
        double lanes[step];
        for (size_t g = 0; g < groups; ++g)
            StoreLanes(lanes + g * kLanes<T>, sums[g]);
        for (size_t lane = 0; lane < step; ++lane)
            costs[j + lane] = RootMean(lanes[lane], width);
    }
    return j;
}

PARLANTO_WIDE_TARGET void WideDifferences(const double* x, const double* turned, size_t count, size_t width, size_t low,
                                          size_t high, double* costs)
{
    size_t j = LaneDifferences<TDoubleQuad, 2>(x, turned, count, width, low, high, costs);
    j = LaneDifferences<TDoublePair, 2>(x, turned, count, width, j, high, costs);
    LaneDifferences<double, 1>(x, turned, count, width, j, high, costs);
}

void NarrowDifferences(const double* x, const double* turned, size_t count, size_t width, size_t low, size_t high,
                       double* costs)
{
    const size_t j = LaneDifferences<TDoublePair, 2>(x, turned, count, width, low, high, costs);
    LaneDifferences<double, 1>(x, turned, count, width, j, high, costs);
}

}  // namespace

double RmsDifference(const double* x, const double* y, size_t width)
{
    double sum = 0.0;
    for (size_t k = 0; k < width; ++k) {
        const double difference = x[k] - y[k];
        sum += difference * difference;
    }
    return RootMean(sum, width);
}

std::vector<double> TurnFrames(const std::vector<double>& values, size_t count, size_t width)
{
    std::vector<double> turned(count * width);
    for (size_t j = 0; j < count; ++j) {
        for (size_t k = 0; k < width; ++k)
            turned[k * count + j] = values[j * width + k];
    }
    return turned;
}

void RmsDifferences(const double* x, const double* turned, size_t count, size_t width, size_t low, size_t high,
                    double* costs)
{
    ByVectorWidth(WideDifferences, NarrowDifferences, x, turned, count, width, low, high, costs);
}
