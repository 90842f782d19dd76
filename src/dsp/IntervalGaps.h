#pragma once
// How far apart two frames of value intervals lie: per value, the gap between the two intervals (0 where they
// meet), and over the frame the root mean square of the gaps. Any two frames whose values lie in those
// intervals differ by at least that much in root mean square, since every value's difference is at least its
// gap. A frame known exactly is an interval frame whose ends are equal.
#include <cstddef>

// width values each: x's values lie in xLow..xHigh, y's in yLow..yHigh (low <= high, or the gaps only grow).
// The gaps are summed in any order; each operation rounds once.
double IntervalGapRms(const double* xLow, const double* xHigh, const double* yLow, const double* yHigh,
                      size_t width);
