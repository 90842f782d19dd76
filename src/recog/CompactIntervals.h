#pragma once
// The intervals a trajectory's compact scores stand for: a code c of a column whose step is s stands for a
// value within s of c × s, and code 0 for an exact 0; scores are never negative. The ends are rounded outwards,
// so that each interval holds every value its code may stand for, the rounding of the ends included.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "CompactScores.h"

class TCompactIntervals {
public:
    explicit TCompactIntervals(const TCompactScores& scores);

    // The intervals of one frame of codes (every column): lowest[k] for codes low[k], highest[k] for high[k].
    void Ends(const uint8_t* low, const uint8_t* high, double* lowest, double* highest) const;

private:
    std::vector<double> stepDown_;   // each column's step rounded down by more than three roundings can add
    std::vector<double> stepUp_;     // and up
};
