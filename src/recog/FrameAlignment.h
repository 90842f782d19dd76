#pragma once
// Time alignment of two series of equally wide frames (dynamic time warping): a word said faster or slower,
// or with a longer pause inside, still meets its own frames.
#include <cstddef>
#include <limits>
#include <vector>

struct TFrameSeries {
    size_t Width = 0;              // values per frame
    std::vector<double> Values;    // frame after frame

    size_t Count() const { return Width == 0 ? 0 : Values.size() / Width; }
    const double* Frame(size_t index) const { return Values.data() + index * Width; }
};

// The cost of the cheapest monotonic path from the first frames of a and b to their last ones, each step
// advancing one series or both, a cell costing the root mean square difference of its two frames; divided by
// the sum of the two lengths. The path stays within the band of cells TAlignmentBand(n, m, bandShare) gives.
// Infinity when either series is empty or their widths differ.
//
// A path's cost only grows, so once every path through a row of a costs more than giveUpAbove (as a distance),
// so does the result: the alignment stops there and gives infinity. Below it the result is unchanged.
double AlignedFrameDistance(const TFrameSeries& a, const TFrameSeries& b, double bandShare,
                            double giveUpAbove = std::numeric_limits<double>::infinity());
