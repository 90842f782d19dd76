#pragma once
// The smallest value of every column of one series of frames and the largest of another (the lower and the
// upper ends of the same values' intervals, or the same series twice) over windows of consecutive frames no
// longer than a given length. The frames are cut into blocks of that length, and each frame keeps the extremes
// from the start of its block up to it and from it to the block's end: a window reaching into the next block
// is covered exactly by the two, one inside a single block by the latter, which may reach past the window's
// end within the block. That is enough where more frames only make the envelope wider, never wrong. Cheaper
// to make than RunExtremes.h, for a series asked about once per window.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "IntervalGaps.h"

template <class T>
class TWindowExtremes {
public:
    // count frames of width values each, frame after frame; windows at most windowLength (at least 1) long.
    TWindowExtremes(const T* lowValues, const T* highValues, size_t count, size_t width, size_t windowLength)
        : width_(width), block_(windowLength), fromStartLow_(count * width), fromStartHigh_(count * width),
          toEndLow_(count * width), toEndHigh_(count * width)
    {
        for (size_t j = 0; j < count; ++j) {
            if (j % block_ == 0)
                Start(lowValues, highValues, j, fromStartLow_, fromStartHigh_);
            else
                Extend(lowValues, highValues, j, j - 1, fromStartLow_, fromStartHigh_);
        }
        for (size_t j = count; j-- > 0;) {
            if ((j + 1) % block_ == 0 || j + 1 == count)
                Start(lowValues, highValues, j, toEndLow_, toEndHigh_);
            else
                Extend(lowValues, highValues, j, j + 1, toEndLow_, toEndHigh_);
        }
    }

    // Per column, the smallest low value and the largest high one over frames first..last (first <= last,
    // at most the window length apart), or over first..the end of its block where last lies in the same block:
    // where they lie in the tables.
    TEnvelopeParts<T> Extremes(size_t first, size_t last) const
    {
        const T* low = &toEndLow_[first * width_];
        const T* high = &toEndHigh_[first * width_];
        if (first / block_ == last / block_)
            return FrameEnvelope(low, high);
        return {low, &fromStartLow_[last * width_], high, &fromStartHigh_[last * width_]};
    }

private:
    void Start(const T* lowValues, const T* highValues, size_t j, std::vector<T>& low, std::vector<T>& high) const
    {
        std::copy(lowValues + j * width_, lowValues + (j + 1) * width_, low.begin() + j * width_);
        std::copy(highValues + j * width_, highValues + (j + 1) * width_, high.begin() + j * width_);
    }

    // Frame j's values joined with the extremes kept at the neighbouring frame.
    void Extend(const T* lowValues, const T* highValues, size_t j, size_t neighbour, std::vector<T>& low,
                std::vector<T>& high) const
    {
        T* lowAt = &low[j * width_];
        T* highAt = &high[j * width_];
        const T* lowNext = &low[neighbour * width_];
        const T* highNext = &high[neighbour * width_];
        for (size_t k = 0; k < width_; ++k) {
            lowAt[k] = std::min(lowNext[k], lowValues[j * width_ + k]);
            highAt[k] = std::max(highNext[k], highValues[j * width_ + k]);
        }
    }

    size_t width_;
    size_t block_;
    std::vector<T> fromStartLow_;   // per frame: from the start of its block up to it
    std::vector<T> fromStartHigh_;
    std::vector<T> toEndLow_;       // per frame: from it to the end of its block
    std::vector<T> toEndHigh_;
};
