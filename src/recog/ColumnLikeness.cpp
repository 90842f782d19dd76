#include "ColumnLikeness.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ColumnCorrelations.h"
#include "ColumnMatch.h"

namespace {

constexpr size_t kColumnsPerCheck = 8;
// A column's term is at most 1 but for rounding; these margins are far above what rounding can add.
constexpr double kMostPerColumn = 1.001;
constexpr double kRoundingMargin = 1.0 + 1e-9;

}  // namespace

double AverageColumnLikeness(const TCommandTraj& utterance, const TCommandTraj& stored, double giveUpBelow)
{
    const std::vector<TColumnPair> pairs = MatchColumnsById(utterance, stored);
    const size_t count = pairs.size();
    double sum = 0.0;
    // Each column's correlation is formed alone, so taking them in parts changes none of them, and the terms
    // are added in the same order.
    for (size_t first = 0; first < count; first += kColumnsPerCheck) {
        const size_t end = std::min(count, first + kColumnsPerCheck);
        const std::vector<TColumnPair> part(pairs.begin() + static_cast<std::ptrdiff_t>(first),
                                            pairs.begin() + static_cast<std::ptrdiff_t>(end));
        for (const double r : CorrelateColumns(utterance, stored, part))
            sum += 0.5 + 0.5 * r;
        const double highest =
            (sum + kMostPerColumn * static_cast<double>(count - end)) / static_cast<double>(count) * kRoundingMargin;
        if (end < count && highest < giveUpBelow)
            return 0.0;
    }
    return pairs.empty() ? 0.0 : sum / static_cast<int32_t>(pairs.size());
}
