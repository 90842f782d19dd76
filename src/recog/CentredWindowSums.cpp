#include "CentredWindowSums.h"

#include <algorithm>

TCentredWindowSums::TCentredWindowSums(const TCommandTraj& traj)
    : width_(traj.Ids.size())
{
    const size_t rows = traj.Rows.size();
    sums_.resize(rows * width_);
    std::vector<TWindowSums> running(width_);
    for (size_t length = 1; length <= rows; ++length) {
        // The row the window of this length has and the one before it lacks.
        const size_t first = FirstRow(rows, length);
        const size_t added = length == 1 || first < FirstRow(rows, length - 1) ? first : first + length - 1;
        const std::vector<double>& row = traj.Rows[added];
        for (size_t column = 0; column < width_; ++column) {
            const double value = row[column];
            running[column].Sum += value;
            running[column].Squares += value * value;
            running[column].Nonzero += value != 0.0 ? 1 : 0;
        }
        std::copy(running.begin(), running.end(), sums_.begin() + static_cast<std::ptrdiff_t>((length - 1) * width_));
    }
}
