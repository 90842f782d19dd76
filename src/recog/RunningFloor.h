#pragma once
// The noise floor of a running stream: a low percentile of the frame levels of the last few seconds. Words
// come and go within the window, so the floor stays at the room's level while they last, and it follows the
// room when the room gets louder or quieter for good.
#include <cstddef>
#include <deque>
#include <vector>

class TRunningFloor {
public:
    // window: frames remembered; share: the fraction of them, from the quietest up, the floor is taken at.
    TRunningFloor(size_t window, double share);

    void Add(double level);
    // The floor of the frames remembered; 0 before the first frame.
    double Floor() const { return floor_; }
    size_t Frames() const { return levels_.size(); }

private:
    size_t window_;
    double share_;
    std::deque<double> levels_;
    std::vector<double> sorted_;   // scratch for the percentile, kept to avoid an allocation per frame
    double floor_ = 0.0;
};
