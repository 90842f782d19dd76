#include "CompactIntervals.h"

namespace {

// 1 -+ 2^-50, eight units of rounding (2^-53): a product of such a step with a code's multiple, rounded twice,
// stays on its side of the exact product s × multiple.
constexpr double kDown = 1.0 - 0x1p-50;
constexpr double kUp = 1.0 + 0x1p-50;

}  // namespace

TCompactIntervals::TCompactIntervals(const TCompactScores& scores)
{
    for (const double step : scores.Step) {
        stepDown_.push_back(step * kDown);
        stepUp_.push_back(step * kUp);
    }
}

void TCompactIntervals::Ends(const uint8_t* low, const uint8_t* high, double* lowest, double* highest) const
{
    for (size_t k = 0; k < stepDown_.size(); ++k) {
        // Code c: from (c - 1) s, never below 0, to (c + 1) s; code 0 is 0 itself.
        const int below = low[k] > 0 ? low[k] - 1 : 0;
        const int above = high[k] > 0 ? high[k] + 1 : 0;
        lowest[k] = stepDown_[k] * below;
        highest[k] = stepUp_[k] * above;
    }
}
