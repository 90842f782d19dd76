// The column correlations of one pass over the rows are, bit for bit, those of each pair's series copied out
// and correlated (the reference): for any number of pairs (whole blocks or not), columns in any order or side
// by side (read in place) from any first column, either trajectory the longer, no rows at all, and either
// vector width.
#include "ColumnCorrelations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ReferenceArithmetic.h"
#include "TrajectoryMaker.h"
#include "VectorWidth.h"

namespace {

std::vector<int32_t> Ids(int32_t first, int32_t count)
{
    std::vector<int32_t> ids;
    for (int32_t id = first; id < first + count; ++id)
        ids.push_back(id);
    return ids;
}

TCommandTraj RandomTraj(const std::vector<int32_t>& ids, size_t rows, std::mt19937& rng)
{
    std::uniform_real_distribution<double> score(0.0, 1.0);
    std::vector<std::vector<double>> values(rows, std::vector<double>(ids.size()));
    for (std::vector<double>& row : values) {
        for (double& value : row)
            value = score(rng);
    }
    return MakeTraj(ids, values);
}

TEST(ColumnCorrelations, OnePassGivesTheReferenceValues)
{
    struct TCase {
        std::vector<int32_t> utteranceIds;
        std::vector<int32_t> storedIds;
        size_t utteranceRows;
        size_t storedRows;
    };
    const TCase cases[] = {
        {{1}, {1}, 7, 7},
        {{1, 2, 3}, {3, 1, 2}, 12, 5},
        {{1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}, 4, 9},
        {{1, 2, 3, 4, 5, 6, 7, 8}, {8, 1, 7, 2, 6, 3, 5, 4}, 30, 31},
        {{4, 9, 1, 2, 3, 6}, {1, 2, 3, 4, 5, 6, 7}, 20, 20},   // columns of ids the other lacks drop out
        {{1, 2}, {1, 2}, 0, 5},
        {Ids(1, 64), Ids(1, 64), 43, 40},   // side by side: whole blocks in place
        {Ids(1, 20), Ids(1, 20), 25, 30},   // and a last block gathered
        {Ids(0, 19), Ids(3, 16), 17, 9},    // side by side from the utterance's fourth column
        {Ids(1, 16), {1, 2, 3, 4, 5, 6, 8, 7, 9, 10, 11, 12, 13, 14, 15, 16}, 11, 12},   // one block in place
    };
    std::mt19937 rng(7);
    for (const bool wide : {true, false}) {
        for (const TCase& c : cases) {
            const TVectorWidth width(wide);
            const TCommandTraj utterance = RandomTraj(c.utteranceIds, c.utteranceRows, rng);
            const TCommandTraj stored = RandomTraj(c.storedIds, c.storedRows, rng);
            const std::vector<TColumnPair> pairs = MatchColumnsById(utterance, stored);
            const std::vector<double> fast = CorrelateColumns(utterance, stored, pairs);
            std::vector<double> reference;
            {
                const TReferenceArithmetic plain;
                reference = CorrelateColumns(utterance, stored, pairs);
            }
            ASSERT_EQ(fast.size(), pairs.size());
            ASSERT_EQ(reference.size(), pairs.size());
            EXPECT_EQ(std::memcmp(fast.data(), reference.data(), fast.size() * sizeof(double)), 0)
                << c.utteranceIds.size() << " by " << c.storedIds.size() << " columns, " << c.utteranceRows << " and "
                << c.storedRows << " rows, wide " << wide;
        }
    }
}

}  // namespace
