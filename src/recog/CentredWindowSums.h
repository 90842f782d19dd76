#pragma once
// A trajectory's column sums over the rows a shorter trajectory meets when the two are lined up as the classic
// likeness lines them up (the shorter centred in the longer), for every shorter length at once. The windows
// are nested, each one row longer than the last at one end, so all of them take one pass; every sum is formed
// from its own window's values only, so its rounding is bounded by that window's sums.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SovoTypes.h"

struct TWindowSums {
    double Sum = 0.0;
    double Squares = 0.0;
    int32_t Nonzero = 0;   // values other than 0 (a sum of any of them is never 0)
};

class TCentredWindowSums {
public:
    // Every row of traj holds a value for each of its ids.
    explicit TCentredWindowSums(const TCommandTraj& traj);

    // The first row of the window of length rows (1 up to the trajectory's rows), and its sums by column.
    static size_t FirstRow(size_t rows, size_t length) { return (rows - length) / 2; }
    const TWindowSums* Window(size_t length) const { return sums_.data() + (length - 1) * width_; }

private:
    size_t width_ = 0;
    std::vector<TWindowSums> sums_;   // window after window, by length
};
