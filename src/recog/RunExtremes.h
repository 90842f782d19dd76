#pragma once
// The smallest value of every column of one series of frames and the largest of another (the lower and the
// upper ends of the same values' intervals) over any run of consecutive frames, each run answered in two steps
// whatever its length: per column, the extremes of every run of a power of two frames are kept (a sparse
// table), and a run is covered by the two such runs that start at its first frame and end at its last one.
// Made once for a series that many runs of many lengths are asked of (WindowExtremes.h is cheaper to make).
#include <algorithm>
#include <cstddef>
#include <vector>

#include "IntervalGaps.h"

template <class T>
class TRunExtremes {
public:
    // count frames of width values each, frame after frame, which must outlive this; runs up to longestRun long.
    TRunExtremes(const T* lowValues, const T* highValues, size_t count, size_t width, size_t longestRun)
        : lowValues_(lowValues), highValues_(highValues), width_(width)
    {
        for (size_t length = 2; length <= std::min(longestRun, count); length *= 2) {
            const size_t half = length / 2;
            const T* lowBelow = levels_.empty() ? lowValues : levels_.back().Smallest.data();
            const T* highBelow = levels_.empty() ? highValues : levels_.back().Largest.data();
            TLevel level;
            const size_t runs = count - length + 1;
            level.Smallest.resize(runs * width);
            level.Largest.resize(runs * width);
            for (size_t first = 0; first < runs; ++first) {
                const size_t at = first * width;
                const size_t second = (first + half) * width;
                for (size_t k = 0; k < width; ++k) {
                    level.Smallest[at + k] = std::min(lowBelow[at + k], lowBelow[second + k]);
                    level.Largest[at + k] = std::max(highBelow[at + k], highBelow[second + k]);
                }
            }
            levels_.push_back(std::move(level));
        }
    }

    // Per column, the smallest low value and the largest high one over frames first..last (first <= last, at
    // most longestRun frames): where they lie in the table.
    TEnvelopeParts<T> Extremes(size_t first, size_t last) const
    {
        size_t level = 0;
        while (size_t{2} << level <= last - first + 1)
            ++level;
        const size_t second = last + 1 - (size_t{1} << level);
        const T* low = level == 0 ? lowValues_ : levels_[level - 1].Smallest.data();
        const T* high = level == 0 ? highValues_ : levels_[level - 1].Largest.data();
        return {low + first * width_, low + second * width_, high + first * width_, high + second * width_};
    }

private:
    struct TLevel {
        std::vector<T> Smallest;   // of the runs of 2^(level + 1) frames, by their first frame
        std::vector<T> Largest;
    };

    const T* lowValues_;
    const T* highValues_;
    size_t width_;
    std::vector<TLevel> levels_;
};
