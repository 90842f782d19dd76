// The classic likeness, taken a few columns at a time, is bit for bit the mean over all the correlations at
// once; with a limit to give up below, a likeness at or above it is unchanged and only one below it becomes 0.
#include "ColumnLikeness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "ColumnCorrelations.h"
#include "ColumnMatch.h"
#include "ReferenceArithmetic.h"
#include "TrajectoryMaker.h"

namespace {

// Columns of ids 1..width; the stored rows (no more than the utterance's) follow those of the utterance they
// meet, centred in it, by share, the rest noise.
std::pair<TCommandTraj, TCommandTraj> Pair(size_t width, size_t rows, size_t storedRows, double share,
                                           std::mt19937& rng)
{
    std::uniform_real_distribution<double> score(0.0, 1.0);
    std::vector<int32_t> ids(width);
    std::iota(ids.begin(), ids.end(), 1);
    std::vector<std::vector<double>> a(rows, std::vector<double>(width)), b(storedRows, std::vector<double>(width));
    for (auto& row : a) {
        for (double& value : row)
            value = score(rng);
    }
    for (size_t i = 0; i < storedRows; ++i) {
        for (size_t j = 0; j < width; ++j)
            b[i][j] = share * a[i + (rows - storedRows) / 2][j] + (1 - share) * score(rng);
    }
    return {MakeTraj(ids, a), MakeTraj(ids, b)};
}

double AllAtOnce(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    const std::vector<TColumnPair> pairs = MatchColumnsById(utterance, stored);
    double sum = 0.0;
    for (const double r : CorrelateColumns(utterance, stored, pairs))
        sum += 0.5 + 0.5 * r;
    return pairs.empty() ? 0.0 : sum / static_cast<int32_t>(pairs.size());
}

bool Same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof(double)) == 0;
}

TEST(ColumnLikeness, InPartsOrGivenUpItNeverDiffersFromTheWholeMean)
{
    std::mt19937 rng(23);
    int givenUp = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const bool reference = pass == 1;
        const std::optional<TReferenceArithmetic> plain =
            reference ? std::make_optional<TReferenceArithmetic>() : std::nullopt;
        for (const size_t width : {1, 7, 8, 9, 64}) {
            for (const double share : {0.0, 0.3, 0.7, 0.95}) {
                const auto [utterance, stored] = Pair(width, 40, 33 + width % 5, share, rng);
                const double full = AllAtOnce(utterance, stored);
                EXPECT_TRUE(Same(AverageColumnLikeness(utterance, stored), full)) << width << " wide";
                for (const double limit : {0.0, full / 2, full, std::nextafter(full, 2.0), full + 0.05, 0.99, 2.0}) {
                    const double limited = AverageColumnLikeness(utterance, stored, limit);
                    if (limit <= full) {
                        EXPECT_TRUE(Same(limited, full)) << width << " wide, share " << share << ", at " << limit;
                    } else {
                        EXPECT_TRUE(Same(limited, full) || limited == 0.0) << width << " wide, at " << limit;
                        givenUp += limited == 0.0 && full > 0.0 ? 1 : 0;
                    }
                }
            }
        }
    }
    EXPECT_GT(givenUp, 10);   // the limit does cut comparisons short
}

}  // namespace
