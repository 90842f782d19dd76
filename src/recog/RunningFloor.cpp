#include "RunningFloor.h"

#include <algorithm>

TRunningFloor::TRunningFloor(size_t window, double share) : window_(std::max<size_t>(window, 1)), share_(share)
{
    sorted_.reserve(window_);
}

void TRunningFloor::Add(double level)
{
    levels_.push_back(level);
    if (levels_.size() > window_)
        levels_.pop_front();
    sorted_.assign(levels_.begin(), levels_.end());
    const auto rank = static_cast<std::ptrdiff_t>(share_ * static_cast<double>(sorted_.size() - 1));
    std::nth_element(sorted_.begin(), sorted_.begin() + rank, sorted_.end());
    floor_ = sorted_[static_cast<size_t>(rank)];
}
