// The bound from a take's compact form is never below the classic likeness the take's exact rows give, on
// either arithmetic path, is the same at either vector width, and is close enough to rule out other commands'
// takes.
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
#include "VectorWidth.h"

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

// The bound from compact, at either vector width, against the exact likeness of stored on either arithmetic path.
void ExpectNeverBelow(const TCommandTraj& utterance, const TCommandTraj& stored, const TCompactScores& compact,
                      const std::string& what)
{
    const double fast = AverageColumnLikeness(utterance, stored);
    const TReferenceArithmetic plain;
    const double reference = AverageColumnLikeness(utterance, stored);
    std::vector<double> bounds;
    for (const bool wide : {true, false}) {
        const TVectorWidth width(wide);
        const double atMost = TColumnLikenessBound(utterance).AtMost(compact, stored.Ids);
        EXPECT_GE(atMost, fast) << what << (wide ? ", wide" : ", narrow");
        EXPECT_GE(atMost, reference) << what << (wide ? ", wide" : ", narrow");
        bounds.push_back(atMost);
    }
    // Columns are bounded four, two or one at a time, each the same way.
    EXPECT_EQ(bounds[0], bounds[1]) << what;
}

void ExpectNeverBelow(const TCommandTraj& utterance, const TCommandTraj& stored, const std::string& what)
{
    ExpectNeverBelow(utterance, stored, CompactOf(stored), what);
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
    for (const TRandomCase& c : cases) {
        for (int repeat = 0; repeat < 4; ++repeat) {
            const TRows utterance = RandomRows(c.utteranceRows, c.width, rng);
            const TCommandTraj stored = Shaped(Following(utterance, c.storedRows, c.share, rng), c.shape, rng);
            ExpectNeverBelow(MakeTraj(Ids(c.width), utterance), stored,
                             std::to_string(c.utteranceRows) + " rows against " + std::to_string(c.storedRows) +
                                 ", share " + std::to_string(c.share) + ", shape " +
                                 std::to_string(static_cast<int>(c.shape)));
        }
    }
}

// Small fixtures at the edges: columns of almost no variance on either side (their computed correlation is
// rounding noise), windows of zeros, a window of the smallest codes only, values near the ends of the
// doubles' range, one row in common.
TEST(ColumnLikenessBound, NeverBelowTheExactLikenessAtTheEdges)
{
    std::vector<double> rising, nearlyFlat, flat, zeros, smallest, tiny, oneHigh;
    for (int i = 0; i < 60; ++i) {
        rising.push_back(0.1 + 0.01 * (i % 13));
        nearlyFlat.push_back(0.5 + 1e-13 * (i % 3));
        flat.push_back(0.37);
        zeros.push_back(0.0);
        smallest.push_back(i % 2 == 0 ? 1e-4 : 0.0);
        tiny.push_back(1e-200 * (1 + i % 5));
        oneHigh.push_back(i == 0 ? 1.0 : 0.001 * (i % 4));   // the middle rows hold codes of 0 and 1 only
    }
    const struct {
        const char* what;
        std::vector<double> utterance, stored;
    } cases[] = {
        {"nearly flat utterance", nearlyFlat, rising},   {"nearly flat take", rising, nearlyFlat},
        {"both nearly flat", nearlyFlat, nearlyFlat},   {"flat take", rising, flat},
        {"flat utterance", flat, rising},               {"zero take", rising, zeros},
        {"zero utterance", zeros, rising},              {"both zero", zeros, zeros},
        {"sparse take", rising, smallest},              {"tiny utterance", tiny, rising},
        {"tiny take", rising, tiny},                    {"smallest codes in the middle", rising, oneHigh},
        {"one row in common", {0.3}, rising},           {"no row", {}, rising},
        {"the same", rising, rising},
    };
    for (const auto& c : cases) {
        // Alone, and beside an ordinary column, so that the edge column is one of several.
        ExpectNeverBelow(Series(7, c.utterance), Series(7, c.stored), c.what);
        if (c.utterance.size() == rising.size() && c.stored.size() == rising.size()) {
            TRows u, b;
            for (size_t i = 0; i < rising.size(); ++i) {
                u.push_back({c.utterance[i], rising[i]});
                b.push_back({c.stored[i], rising[(i + 3) % rising.size()]});
            }
            ExpectNeverBelow(MakeTraj({7, 8}, u), MakeTraj({7, 8}, b), std::string(c.what) + ", two columns");
        }
    }
}

// A take built around its codes rather than coded from its values: every value as far from its code's value
// as the compact form allows (a whole step), each one towards the utterance, away from the direction the
// codes already share with it, which is where the codes understate the likeness most.
TEST(ColumnLikenessBound, NeverBelowWithValuesAWholeStepOffTheirCodes)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    constexpr size_t kRows = 200, kWidth = 8;
    const double step = 0.01;
    for (const double share : {0.0, 0.3, 0.6, 0.9}) {
        TRows a(kRows, std::vector<double>(kWidth)), b = a;
        TCompactScores compact;
        compact.Width = kWidth;
        compact.Step.assign(kWidth, step);
        compact.Codes.assign(kRows * kWidth, 0);
        for (size_t c = 0; c < kWidth; ++c) {
            std::vector<double> centredA(kRows), centredCodes(kRows);
            double meanA = 0.0, meanCodes = 0.0;
            for (size_t i = 0; i < kRows; ++i) {
                a[i][c] = score(rng);
                const double code = std::round(1 + 254 * (share * a[i][c] + (1 - share) * score(rng)));
                compact.Codes[i * kWidth + c] = static_cast<uint8_t>(code);
                meanA += a[i][c] / kRows;
                meanCodes += code / kRows;
            }
            double along = 0.0, norm = 0.0;
            for (size_t i = 0; i < kRows; ++i) {
                centredA[i] = a[i][c] - meanA;
                centredCodes[i] = compact.Codes[i * kWidth + c] - meanCodes;
                along += centredA[i] * centredCodes[i];
                norm += centredCodes[i] * centredCodes[i];
            }
            for (size_t i = 0; i < kRows; ++i) {
                const double across = centredA[i] - along / norm * centredCodes[i];
                b[i][c] = step * (compact.Codes[i * kWidth + c] + (across > 0 ? 0.999 : -0.999));
            }
        }
        ExpectNeverBelow(MakeTraj(Ids(kWidth), a), MakeTraj(Ids(kWidth), b), compact, "share " + std::to_string(share));
    }
}

// Two columns flat but for the last bits: their computed correlation is rounding alone and lands anywhere,
// far above 1 too. No bound may trust it.
TEST(ColumnLikenessBound, NeverBelowACorrelationOfRoundingAlone)
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    double highest = 0.0;
    for (int pair = 0; pair < 400; ++pair) {
        std::vector<double> a, b;
        const double levelA = score(rng), levelB = score(rng);
        for (int i = 0; i < 60; ++i) {
            a.push_back(levelA + 4e-16 * score(rng));
            b.push_back(levelB + 4e-16 * score(rng));
        }
        ExpectNeverBelow(Series(3, a), Series(3, b), "pair " + std::to_string(pair));
        highest = std::max(highest, AverageColumnLikeness(Series(3, a), Series(3, b)));
    }
    EXPECT_GT(highest, 2.0);   // the fixture does meet a correlation of rounding alone far above 1
}

// Values so small that their squares lose most of their bits, in a window whose codes are 1 and 0 only (a
// large value outside it sets the step): the computed correlation of series that follow each other exactly
// is then off by far more than a double's rounding.
TEST(ColumnLikenessBound, NeverBelowACorrelationOfValuesTooSmallToSquare)
{
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    double highest = 0.0;
    for (int pair = 0; pair < 200; ++pair) {
        std::vector<double> a, b(20, 0.0);
        b.front() = 1.0;
        for (int i = 0; i < 60; ++i) {
            const double value = i % 3 == 0 ? 0.0 : (1 + score(rng)) * 1e-160;
            a.push_back(value * 1e160);
            b.push_back(value);
        }
        b.resize(100, 0.0);
        ExpectNeverBelow(Series(3, a), Series(3, b), "pair " + std::to_string(pair));
        highest = std::max(highest, AverageColumnLikeness(Series(3, a), Series(3, b)));
    }
    EXPECT_GT(highest, 1.0 + 1e-6);   // the fixture does meet such a correlation above 1
}

struct TTake {
    std::string command;
    TCommandTraj traj;
};

// The shipped commands' takes and the reference chain's (another phoneme set), two of each command.
std::vector<TTake> RealTakes()
{
    std::vector<TTake> takes;
    const std::string shipped = std::string(PARLANTO_SOURCE_DIR) + "/Models/";
    const std::string golden = std::string(PARLANTO_GOLDEN_DIR) + "/models/";
    for (const std::string& file : {shipped + "louder", shipped + "next", shipped + "pause", shipped + "quieter",
                                    shipped + "start", golden + "close", golden + "open", golden + "stop"}) {
        TVoiceCommandModel model;
        model.Load(file + ".vcm");
        for (const TCommandTraj& traj : model.Trajectories)
            takes.push_back({model.Name, traj});
    }
    return takes;
}

TEST(ColumnLikenessBound, NeverBelowTheExactLikenessOfRealTakes)
{
    const std::vector<TTake> takes = RealTakes();
    ASSERT_EQ(takes.size(), 16u);
    for (size_t i = 0; i < takes.size(); ++i) {
        for (size_t j = 0; j < takes.size(); ++j)
            ExpectNeverBelow(takes[i].traj, takes[j].traj, takes[i].command + " against " + takes[j].command);
    }
}

// Useful, not only safe: with one take as the utterance, no take of another command is bounded as high as
// the other take of its own command is alike, so those takes are ruled out without their rows.
TEST(ColumnLikenessBound, RulesOutOtherCommandsTakes)
{
    const std::vector<TTake> takes = RealTakes();
    for (size_t i = 0; i < takes.size(); ++i) {
        const TColumnLikenessBound bound(takes[i].traj);
        double right = 0.0;
        for (size_t j = 0; j < takes.size(); ++j) {
            if (j != i && takes[j].command == takes[i].command)
                right = std::max(right, AverageColumnLikeness(takes[i].traj, takes[j].traj));
        }
        for (const TTake& other : takes) {
            if (other.command != takes[i].command) {
                EXPECT_LT(bound.AtMost(CompactOf(other.traj), other.traj.Ids), right)
                    << takes[i].command << " against " << other.command;
            }
        }
    }
}

}  // namespace
