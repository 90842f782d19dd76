// The compact form keeps every score within its column's step and an exact 0 as code 0; a series it cannot
// hold is refused rather than held wrongly.
#include "CompactScores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

std::vector<const double*> RowsOf(const std::vector<std::vector<double>>& rows)
{
    std::vector<const double*> pointers;
    for (const std::vector<double>& row : rows)
        pointers.push_back(row.data());
    return pointers;
}

TEST(CompactScores, EveryValueLiesWithinItsColumnsStepAndZeroStaysExact)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    // Columns: ordinary scores, tiny ones beside one large, all zeros, a constant, and a few small ones.
    std::vector<std::vector<double>> rows(300, std::vector<double>(5));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i][0] = i % 3 == 0 ? 0.0 : score(rng);
        rows[i][1] = i == 17 ? 5.0 : 1e-6 * score(rng);
        rows[i][2] = 0.0;
        rows[i][3] = 0.25;
        rows[i][4] = std::nextafter(0.0, 1.0) * static_cast<double>(i % 2) + 1e-300;
    }
    const std::optional<TCompactScores> compact = CompactScoresOf(RowsOf(rows), 5);
    ASSERT_TRUE(compact);
    ASSERT_EQ(compact->Count(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        for (size_t c = 0; c < 5; ++c) {
            EXPECT_LE(std::abs(rows[i][c] - compact->Value(i, c)), compact->Step[c]) << i << "," << c;
            EXPECT_EQ(compact->Row(i)[c] == 0, rows[i][c] == 0.0) << i << "," << c;
        }
    }
    EXPECT_EQ(compact->Row(17)[1], 255);
    EXPECT_EQ(compact->Step[2], 0.0);
}

TEST(CompactScores, RefusesWhatItCannotHold)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double tiny = std::numeric_limits<double>::denorm_min();
    for (const double odd : {-0.5, nan, inf, tiny}) {
        // The odd value in a column of its own: a tiny one is refused only where it is the largest.
        const std::vector<std::vector<double>> rows = {{0.5, 0.0}, {0.2, odd}};
        EXPECT_FALSE(CompactScoresOf(RowsOf(rows), 2)) << odd;
    }
    const std::optional<TCompactScores> empty = CompactScoresOf({}, 3);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Count(), 0u);
}

}  // namespace
