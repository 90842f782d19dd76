#include "CompactScores.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHighestCode = 255.0;

}  // namespace

std::optional<TCompactScores> CompactScoresOf(const std::vector<const double*>& rows, size_t width)
{
    TCompactScores compact;
    compact.Width = width;
    std::vector<double> largest(width, 0.0);
    bool odd = false;   // a value below 0 or not a number; infinity shows in the steps
    for (const double* row : rows) {
        for (size_t c = 0; c < width; ++c) {
            odd |= !(row[c] >= 0.0);
            largest[c] = std::max(largest[c], row[c]);
        }
    }
    if (odd)
        return std::nullopt;
    compact.Step.resize(width);
    std::vector<double> perStep(width, 0.0);
    for (size_t c = 0; c < width; ++c) {
        compact.Step[c] = largest[c] / kHighestCode;
        if (!std::isfinite(compact.Step[c]) || (largest[c] > 0.0 && compact.Step[c] == 0.0))
            return std::nullopt;   // too large or too small to divide into steps
        perStep[c] = compact.Step[c] > 0.0 ? 1.0 / compact.Step[c] : 0.0;
    }
    compact.Codes.resize(rows.size() * width);
    uint8_t* code = compact.Codes.data();
    for (const double* row : rows) {
        for (size_t c = 0; c < width; ++c, ++code) {
            // Rounded to the nearest code, off by at most half a step and a little rounding; the smallest values
            // are raised to 1 so that 0 stays an exact 0, which puts them less than one step off.
            const double nearest = std::min(row[c] * perStep[c] + 0.5, kHighestCode);
            *code = static_cast<uint8_t>(row[c] == 0.0 ? 0.0 : std::max(nearest, 1.0));
        }
    }
    return compact;
}
