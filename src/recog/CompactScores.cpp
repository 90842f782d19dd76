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
    compact.Step.assign(width, 0.0);
    for (const double* row : rows) {
        for (size_t c = 0; c < width; ++c) {
            if (!std::isfinite(row[c]) || row[c] < 0.0)
                return std::nullopt;
            compact.Step[c] = std::max(compact.Step[c], row[c]);
        }
    }
    for (double& step : compact.Step) {
        const double largest = step;
        step /= kHighestCode;
        if (largest > 0.0 && step == 0.0)   // too small to divide into steps
            return std::nullopt;
    }
    compact.Codes.reserve(rows.size() * width);
    for (const double* row : rows) {
        for (size_t c = 0; c < width; ++c) {
            // Rounded to the nearest code (off by at most half a step); the smallest values are raised to 1 so
            // that 0 stays an exact 0, which puts them at most one step off.
            const double code = row[c] == 0.0 ? 0.0 : std::clamp(std::round(row[c] / compact.Step[c]), 1.0, kHighestCode);
            compact.Codes.push_back(static_cast<uint8_t>(code));
        }
    }
    return compact;
}
