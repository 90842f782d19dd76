#pragma once
// Which cells a time alignment of a series of n frames with one of m frames may use: around the straight line
// joining the two ends, bandShare of the longer length on either side, never so narrow that the band breaks
// apart. The exact alignment and the bounds of its cost take their cells from here, so they agree on them.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

class TAlignmentBand {
public:
    // n and m at least 1.
    TAlignmentBand(size_t n, size_t m, double bandShare);

    // The first and the last column of row i (i < n); both only grow with i.
    size_t Low(size_t i) const
    {
        const double centre = slope_ * static_cast<double>(i);
        return static_cast<size_t>(std::max(0.0, std::ceil(centre - halfWidth_)));
    }
    size_t High(size_t i) const
    {
        const double centre = slope_ * static_cast<double>(i);
        return static_cast<size_t>(std::min(static_cast<double>(lastColumn_), std::floor(centre + halfWidth_)));
    }
    // The most columns a row has.
    size_t Widest() const { return static_cast<size_t>(2 * halfWidth_ + 1); }

private:
    size_t lastColumn_;
    double halfWidth_;
    double slope_;
};

// The cost of the cheapest monotonic path through band from cell (0, 0) to (n - 1, m - 1), each step advancing
// the row, the column or both: rowCosts(i, low, high, costs) puts row i's cell costs in costs[low..high]. After
// each row, givesUp(cheapest partial path through it) may end the search: infinity. Costs are summed along the
// path in its order.
template <class TRowCosts, class TGivesUp>
double CheapestBandPath(const TAlignmentBand& band, size_t n, size_t m, TRowCosts rowCosts, TGivesUp givesUp)
{
    constexpr double unreachable = std::numeric_limits<double>::infinity();
    std::vector<double> previous(m, unreachable);
    std::vector<double> current(m, unreachable);
    std::vector<double> costs(m);
    for (size_t i = 0; i < n; ++i) {
        const size_t low = band.Low(i);
        const size_t high = band.High(i);
        std::fill(current.begin(), current.end(), unreachable);
        rowCosts(i, low, high, costs.data());
        double cheapest = unreachable;
        for (size_t j = low; j <= high; ++j) {
            double before = i == 0 && j == 0 ? 0.0 : previous[j];
            if (j > 0)
                before = std::min({before, previous[j - 1], current[j - 1]});
            current[j] = before + costs[j];
            cheapest = std::min(cheapest, current[j]);
        }
        if (givesUp(cheapest))
            return unreachable;
        std::swap(previous, current);
    }
    return previous[m - 1];
}
