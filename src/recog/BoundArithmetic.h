#pragma once
// What the bounds of the aligned distance (AlignedDistanceBound.h, CoarseAlignmentBound.h) share: the answers
// they settle before aligning anything, a cell's gap cost from its sum of squared gaps (for a row of cells at
// once), and a path's cost turned into a distance that rounding cannot have lifted above the exact one.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

#include "CompactScores.h"
#include "FloatFrames.h"
#include "IntervalGaps.h"

constexpr double kUnreachable = std::numeric_limits<double>::infinity();

// Infinity when either side has no frames or their widths differ (as for the alignment itself), 0 where a value
// or a step is beyond what the floats hold safely; otherwise nothing, and steps holds the stored side's steps.
inline std::optional<double> SettledBeforeAligning(const TFloatFrames& utterance, const TCompactScores& stored,
                                                   TFloatSteps& steps)
{
    if (utterance.Count() == 0 || stored.Count() == 0 || utterance.Width != stored.Width)
        return kUnreachable;
    steps = FloatStepsOf(stored);
    if (!utterance.InRange || !steps.InRange)
        return 0.0;
    return std::nullopt;
}

// The root mean square of the gaps.
inline double GapCost(float sumOfSquares, size_t width)
{
    return std::sqrt(static_cast<double>(sumOfSquares) / static_cast<double>(width));
}

// The gap costs of one frame of intervals (xLow..xHigh) against decoded frames first..last (low and high hold
// width values a frame), into costs[first..last]: every sum of squares first, then the roots, so that they overlap.
inline void GapCostsOfRange(const float* xLow, const float* xHigh, const float* low, const float* high, size_t width,
                            size_t first, size_t last, float* squares, double* costs)
{
    for (size_t j = first; j <= last; ++j)
        squares[j] = GapSquares(xLow, xHigh, low + j * width, high + j * width, width);
    for (size_t j = first; j <= last; ++j)
        costs[j] = GapCost(squares[j], width);
}

// A path's bound cost as a distance, lowered by more than what rounding may have put on it: pathOperations
// counts the additions and multiplications in doubles that may have led to pathCost (n + m for a sum along a
// path of at most n + m cells).
inline double SafeDistance(double pathCost, size_t n, size_t m, size_t width, size_t pathOperations)
{
    const double margin = 1.0 - 0x1p-21 * static_cast<double>(width + 8) -
                          0x1p-50 * static_cast<double>(pathOperations + width + 16);
    return std::max(0.0, pathCost / static_cast<double>(n + m) * margin - 0x1p-70);
}
