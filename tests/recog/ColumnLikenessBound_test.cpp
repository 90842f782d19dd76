// The bound from a take's compact form is never below the classic likeness the take's exact rows give, on
// either arithmetic path, and is close enough to rule out other commands' takes.
#include "ColumnLikenessBound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ColumnLikeness.h"
#include "CompactScores.h"
#include "ReferenceArithmetic.h"
#include "SovoDict.h"
#include "TrajectoryMaker.h"

namespace {

TCompactScores CompactOf(const TCommandTraj& traj)
{
    std::vector<const double*> rows;
    for (const std::vector<double>& row : traj.Rows)
        rows.push_back(row.data());
    const std::optional<TCompactScores> compact = CompactScoresOf(rows, traj.Ids.size());
    EXPECT_TRUE(compact);
    return compact.value_or(TCompactScores{});
}

struct TCheck {
    int bounded = 0;
    int total = 0;
    double widest = 0.0;
};

// The bound against the exact likeness on both paths; what it could bound, and how far above it was.
void ExpectNeverBelow(const TCommandTraj& utterance, const TCommandTraj& stored, const std::string& what,
                      TCheck& check)
{
    const TColumnLikenessBound bound(utterance);
    const double atMost = bound.AtMost(CompactOf(stored), stored.Ids);
    const double fast = AverageColumnLikeness(utterance, stored);
    const TReferenceArithmetic plain;
    const double reference = AverageColumnLikeness(utterance, stored);
    EXPECT_GE(atMost, fast) << what;
    EXPECT_GE(atMost, reference) << what;
    ++check.total;
    if (std::isfinite(atMost)) {
        ++check.bounded;
        check.widest = std::max(check.widest, atMost - fast);
    }
}

std::vector<int32_t> Ids(size_t width)
{
    std::vector<int32_t> ids(width);
    std::iota(ids.begin(), ids.end(), 1);
    return ids;
}

using TRows = std::vector<std::vector<double>>;

// Scores in 0..1, a third of them 0 as phoneme scores often are.
TRows RandomRows(size_t count, size_t width, std::mt19937& rng)
{
    std::uniform_real_distribution<double> score(0.0, 1.0);
    TRows rows(count, std::vector<double>(width));
    for (auto& row : rows) {
        for (double& value : row)
            value = score(rng) < 0.33 ? 0.0 : score(rng);
    }
    return rows;
}

// Rows that follow the utterance's (centred as the likeness lines them up) by share, the rest noise.
TRows Following(const TRows& utterance, size_t count, double share, std::mt19937& rng)
{
    const size_t width = utterance.front().size();
    TRows rows = RandomRows(count, width, rng);
    const size_t n = std::min(count, utterance.size());
    const size_t firstA = (utterance.size() - n) / 2;
    const size_t firstB = (count - n) / 2;
    for (size_t i = 0; i < n; ++i) {
        for (size_t c = 0; c < width; ++c)
            rows[firstB + i][c] = share * utterance[firstA + i][c] + (1 - share) * rows[firstB + i][c];
    }
    return rows;
}

enum class TShape { Plain, ZeroColumns, ConstantColumns, SparseColumns, MissingIds, Reordered };

struct TRandomCase {
    size_t utteranceRows, storedRows, width;
    double share;
    TShape shape;
};

// Some of the take's columns changed to the shape; ids the utterance lacks, or the take's columns in another
// order (ids kept with their values).
TCommandTraj Shaped(TRows rows, TShape shape, std::mt19937& rng)
{
    const size_t width = rows.front().size();
    std::vector<int32_t> ids = Ids(width);
    for (size_t c = 0; c < width; c += 3) {
        for (size_t i = 0; i < rows.size(); ++i) {
            double& value = rows[i][c];
            if (shape == TShape::ZeroColumns)
                value = 0.0;
            else if (shape == TShape::ConstantColumns)
                value = 0.37;
            else if (shape == TShape::SparseColumns)
                value = i % 17 == 5 ? value : 0.0;
        }
        if (shape == TShape::MissingIds)
            ids[c] += 1000;
    }
    if (shape == TShape::Reordered) {
        std::vector<size_t> order(width);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), rng);
        TRows moved = rows;
        std::vector<int32_t> movedIds(width);
        for (size_t c = 0; c < width; ++c) {
            movedIds[c] = ids[order[c]];
            for (size_t i = 0; i < rows.size(); ++i)
                moved[i][c] = rows[i][order[c]];
        }
        return MakeTraj(movedIds, moved);
    }
    return MakeTraj(ids, rows);
}

TEST(ColumnLikenessBound, NeverBelowTheExactLikenessOfRandomTakes)
{
    const TRandomCase cases[] = {
        {120, 120, 64, 0.0, TShape::Plain},           {120, 120, 64, 1.0, TShape::Plain},
        {300, 430, 64, 0.9, TShape::Plain},           {430, 300, 64, 0.9, TShape::Plain},
        {431, 300, 13, 0.6, TShape::Plain},           {90, 91, 9, 0.99, TShape::Plain},
        {3, 2, 64, 0.8, TShape::Plain},               {2, 5, 7, 1.0, TShape::Plain},
        {200, 150, 64, 0.95, TShape::ZeroColumns},    {200, 250, 64, 0.95, TShape::ConstantColumns},
        {200, 200, 64, 0.95, TShape::SparseColumns},  {300, 200, 64, 0.95, TShape::MissingIds},
        {250, 260, 64, 0.95, TShape::Reordered},      {250, 240, 21, 1.0, TShape::Reordered},
    };
    std::mt19937 rng(41);
    TCheck check;
    for (const TRandomCase& c : cases) {
        for (int repeat = 0; repeat < 4; ++repeat) {
            const TRows utterance = RandomRows(c.utteranceRows, c.width, rng);
            const TCommandTraj stored = Shaped(Following(utterance, c.storedRows, c.share, rng), c.shape, rng);
            ExpectNeverBelow(MakeTraj(Ids(c.width), utterance), stored,
                             std::to_string(c.utteranceRows) + " rows against " + std::to_string(c.storedRows) +
                                 ", share " + std::to_string(c.share) + ", shape " +
                                 std::to_string(static_cast<int>(c.shape)),
                             check);
        }
    }
    std::printf("bounded %d of %d, widest %g\n", check.bounded, check.total, check.widest);
}

std::vector<TCommandTraj> ShippedTakes()
{
    std::vector<TCommandTraj> takes;
    for (const char* command : {"louder", "next", "pause", "quieter", "start"}) {
        TVoiceCommandModel model;
        model.Load(std::string(PARLANTO_SOURCE_DIR) + "/Models/" + command + ".vcm");
        for (const TCommandTraj& take : model.Trajectories)
            takes.push_back(take);
    }
    return takes;
}

TEST(ColumnLikenessBound, NeverBelowTheExactLikenessOfRealTakes)
{
    const std::vector<TCommandTraj> takes = ShippedTakes();
    TCheck check;
    for (size_t i = 0; i < takes.size(); ++i) {
        for (size_t j = 0; j < takes.size(); ++j) {
            ExpectNeverBelow(takes[i], takes[j], std::to_string(i) + " against " + std::to_string(j), check);
            const TCommandTraj& u = takes[i];
            const TColumnLikenessBound bound(u);
            std::printf("%zu %zu rows %zu %zu exact %.4f bound %.4f\n", i, j, u.Rows.size(), takes[j].Rows.size(),
                        AverageColumnLikeness(u, takes[j]), bound.AtMost(CompactOf(takes[j]), takes[j].Ids));
        }
    }
    std::printf("bounded %d of %d, widest %g\n", check.bounded, check.total, check.widest);
}

}  // namespace
