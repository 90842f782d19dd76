// The bounds of the aligned distance from a take's compact speech frames are never above the exact distance,
// on either arithmetic path and at either vector width, and the alignments over compact frames and over blocks
// of them are tight enough to tell commands apart.
#include "AlignedDistanceBound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "AlignedLikeness.h"
#include "CoarseAlignmentBound.h"
#include "ReferenceArithmetic.h"
#include "SovoDict.h"
#include "TrajectoryMaker.h"
#include "VectorWidth.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// What a dictionary keeps of a take: its speech frames in compact form.
TCompactScores CompactFrames(const TCommandTraj& stored)
{
    const TFrameSeries frames = StoredSpeechFrames(stored);
    std::vector<const double*> rows;
    for (size_t i = 0; i < frames.Count(); ++i)
        rows.push_back(frames.Frame(i));
    const std::optional<TCompactScores> compact = CompactScoresOf(rows, frames.Width);
    EXPECT_TRUE(compact);
    return compact.value_or(TCompactScores{});
}

// Block sizes of the alignment over blocks: single frames (the full alignment's cells, so that only its margin
// keeps it below), the matcher's, and others, rows or frames alone.
struct TBlockSize {
    size_t Rows, Frames;
};
const TBlockSize kBlockSizes[] = {{1, 1}, {3, 2}, {2, 3}, {5, 1}, {1, 4}};

// The alignment over blocks against the exact distance of the speech frames of two trajectories of the same
// columns, at several bands, and its giving up at thresholds around it.
void ExpectBlockBoundsHold(const TCommandTraj& utterance, const TCompactScores& compact, const TCommandTraj& stored,
                           const std::string& where)
{
    const TFrameSeries utteranceFrames = StoredSpeechFrames(utterance);
    const TFrameSeries storedFrames = StoredSpeechFrames(stored);
    for (const TBlockSize blocks : kBlockSizes) {
        const TBoundFrames frames(utteranceFrames, blocks.Rows);
        for (const double bandShare : {0.25, 0.6}) {
            const std::string at = where + ", blocks " + std::to_string(blocks.Rows) + "x" +
                                   std::to_string(blocks.Frames) + ", band " + std::to_string(bandShare);
            const double exact = AlignedFrameDistance(utteranceFrames, storedFrames, bandShare);
            const double coarse = CoarseAlignedDistanceAtLeast(frames, compact, bandShare, kInfinity, blocks.Frames);
            EXPECT_LE(coarse, exact) << at;
            EXPECT_GE(coarse, 0.0) << at;
            EXPECT_LE(coarse, AlignedDistanceAtLeast(frames, compact, bandShare, kInfinity) * (1 + 1e-9))
                << at << ": the full alignment is the tighter bound";
            if (std::isinf(exact))
                continue;
            for (const double share : {0.0, 0.5, 0.9, 0.999, 1.001}) {
                const double giveUpAbove = exact * share;
                const double bound = CoarseAlignedDistanceAtLeast(frames, compact, bandShare, giveUpAbove,
                                                                  blocks.Frames);
                if (std::isinf(bound))
                    EXPECT_GT(exact, giveUpAbove) << at << ", giving up above " << giveUpAbove;
                else
                    EXPECT_LE(bound, exact) << at << ", giving up above " << giveUpAbove;
            }
        }
    }
}

// The bounds against the exact distance, and the alignments' giving up at thresholds around it.
void ExpectBoundsHold(const TCommandTraj& utterance, const TCommandTraj& stored, const std::string& what)
{
    const TCompactScores compact = CompactFrames(stored);
    for (const bool reference : {false, true}) {
        for (const bool wide : {true, false}) {
            const TVectorWidth width(wide);
            std::optional<TReferenceArithmetic> path;
            if (reference)
                path.emplace();
            const std::string where = what + (reference ? ", reference" : ", fast") + (wide ? ", wide" : ", narrow");
            const TAlignedMatcher matcher(utterance);
            const double exact = matcher.Distance(stored);
            const double blocks = matcher.BlockDistanceAtLeast(compact, stored.Ids);
            const double aligned = matcher.DistanceAtLeast(compact, stored.Ids, kInfinity);
            EXPECT_LE(blocks, exact) << where;
            EXPECT_LE(aligned, exact) << where;
            EXPECT_GE(blocks, 0.0) << where;
            EXPECT_LE(blocks, aligned * (1 + 1e-9)) << where << ": the full alignment is the tighter bound";
            if (utterance.Ids == stored.Ids)
                ExpectBlockBoundsHold(utterance, compact, stored, where);
            if (std::isinf(exact))
                continue;
            for (const double share : {0.0, 0.5, 0.9, 0.999, 1.001, 2.0}) {
                const double giveUpAbove = exact * share;
                const double bound = matcher.DistanceAtLeast(compact, stored.Ids, giveUpAbove);
                if (std::isinf(bound))
                    EXPECT_GT(exact, giveUpAbove) << where << ", giving up above " << giveUpAbove;
                else
                    EXPECT_LE(bound, exact) << where << ", giving up above " << giveUpAbove;
            }
        }
    }
}

// A word-like trajectory: rows of width scores drifting smoothly at random, louder in the middle third, so that
// its speech rows and background come from its own loudness.
TCommandTraj Drifting(size_t rows, size_t width, uint32_t seed, double scale = 1.0)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(-0.1, 0.1);
    std::vector<double> level(width, 0.3);
    std::vector<std::vector<double>> values;
    for (size_t j = 0; j < rows; ++j) {
        const bool word = 3 * j >= rows && 3 * j < 2 * rows;
        std::vector<double> row(width);
        for (size_t k = 0; k < width; ++k) {
            level[k] = std::clamp(level[k] + step(random), 0.0, 1.0);
            row[k] = scale * level[k] * (word ? 1.0 : 0.2);
        }
        values.push_back(row);
    }
    std::vector<int32_t> ids(width);
    for (size_t k = 0; k < width; ++k)
        ids[k] = static_cast<int32_t>(k + 1);
    return MakeTraj(ids, values);
}

TCommandTraj ShippedTake(const std::string& name)
{
    TVoiceCommandModel model;
    TCommandTraj traj;
    model.LoadTrajectory(std::string(PARLANTO_SOURCE_DIR) + "/Models/Data/" + name + ".trj", traj);
    return traj;
}

// The take with every score changed at random by up to a fifth and a noise floor added.
TCommandTraj Noisy(const TCommandTraj& take, uint32_t seed, double floor)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> factor(0.8, 1.2);
    std::uniform_real_distribution<double> noise(0.0, floor);
    TCommandTraj noisy = take;
    for (std::vector<double>& row : noisy.Rows) {
        for (double& score : row)
            score = score * factor(random) + noise(random);
    }
    return noisy;
}

const std::vector<std::string> kShippedTakes = {"louder1", "louder2", "next1",    "next2",    "pause1",
                                                "pause2",  "quieter1", "quieter2", "start1", "start2"};

TEST(AlignedDistanceBound, NeverAboveTheDistanceOfRandomTrajectoriesOfAnyLength)
{
    struct Case {
        size_t utteranceRows, storedRows, width;
    };
    // Utterances longer and shorter than the take, a take of one frame, a row or two, one column.
    const Case cases[] = {{150, 150, 8}, {300, 120, 8}, {90, 430, 16}, {430, 430, 64}, {3, 60, 4},
                          {60, 2, 4},    {1, 1, 3},     {7, 5, 1},     {200, 30, 5}};
    uint32_t seed = 1;
    for (const Case& c : cases) {
        for (int trial = 0; trial < 3; ++trial, seed += 2) {
            ExpectBoundsHold(Drifting(c.utteranceRows, c.width, seed), Drifting(c.storedRows, c.width, seed + 1),
                             std::to_string(c.utteranceRows) + " rows against " + std::to_string(c.storedRows));
        }
    }
}

TEST(AlignedDistanceBound, NeverAboveTheDistanceOfRealTakes)
{
    // Every shipped take against every other and itself (distance 0: so must the bounds be), and noisy takes
    // of each against all.
    std::vector<TCommandTraj> takes;
    for (const std::string& name : kShippedTakes)
        takes.push_back(ShippedTake(name));
    for (size_t u = 0; u < takes.size(); ++u) {
        const TCommandTraj noisy = Noisy(takes[u], static_cast<uint32_t>(u), 0.05);
        for (size_t s = 0; s < takes.size(); ++s) {
            ExpectBoundsHold(takes[u], takes[s], kShippedTakes[u] + " against " + kShippedTakes[s]);
            ExpectBoundsHold(noisy, takes[s], "noisy " + kShippedTakes[u] + " against " + kShippedTakes[s]);
        }
        const TAlignedMatcher itself(takes[u]);
        const TCompactScores compact = CompactFrames(takes[u]);
        EXPECT_EQ(itself.BlockDistanceAtLeast(compact, takes[u].Ids), 0.0) << kShippedTakes[u];
        EXPECT_EQ(itself.DistanceAtLeast(compact, takes[u].Ids, kInfinity), 0.0) << kShippedTakes[u];
    }
}

TEST(AlignedDistanceBound, NeverAboveTheDistanceOfOddColumnsAndScales)
{
    const TCommandTraj word = Drifting(120, 6, 40);
    const TCommandTraj other = Drifting(140, 6, 41);
    // Columns taken from a trajectory: a column of its own when negative (-1 all zeros, -2 a constant 0.4).
    const auto withColumns = [](const TCommandTraj& from, const std::vector<int32_t>& ids,
                                const std::vector<int>& columns) {
        std::vector<std::vector<double>> rows;
        for (const std::vector<double>& fromRow : from.Rows) {
            std::vector<double> row;
            for (const int column : columns)
                row.push_back(column == -1 ? 0.0 : column == -2 ? 0.4 : fromRow[static_cast<size_t>(column)]);
            rows.push_back(row);
        }
        return MakeTraj(ids, rows);
    };
    // A column of scores far below its largest, so that the compact form holds them as its smallest code.
    TCommandTraj spiky = word;
    for (size_t j = 0; j < spiky.Rows.size(); ++j)
        spiky.Rows[j][0] = j == 60 ? 1.0 : 1e-7 * spiky.Rows[j][0];
    const TCommandTraj silence = MakeTraj({1, 2, 3, 4, 5, 6}, std::vector<std::vector<double>>(90, std::vector<double>(6)));
    struct Case {
        const char* what;
        TCommandTraj utterance;
        TCommandTraj stored;
    };
    const Case cases[] = {
        {"stored columns in another order", word, withColumns(other, {3, 1, 2, 6, 5, 4}, {2, 0, 1, 5, 4, 3})},
        {"stored ids the utterance lacks", word, withColumns(other, {1, 99, 2, 98, 3}, {0, 1, 1, 2, 2})},
        {"utterance ids the take lacks", word, withColumns(other, {2, 5}, {1, 4})},
        {"an utterance id twice", withColumns(word, {1, 2, 3, 1}, {0, 1, 2, 3}), other},
        {"an id twice on both sides", withColumns(word, {1, 2, 3, 1}, {0, 1, 2, -2}),
         withColumns(word, {1, 2, 3, 1}, {0, 1, 2, 3})},
        {"all-zero columns in the take", word, withColumns(other, {1, 2, 3, 4, 5, 6}, {0, -1, 2, -1, 4, -1})},
        {"all-zero columns in the utterance", withColumns(word, {1, 2, 3, 4, 5, 6}, {-1, 1, -1, 3, -1, 5}), other},
        {"constant columns", withColumns(word, {1, 2, 3, 4, 5, 6}, {-2, 1, 2, 3, 4, -2}),
         withColumns(other, {1, 2, 3, 4, 5, 6}, {0, -2, 2, 3, -2, 5})},
        // Every gap is then the utterance's value itself, as in the exact distance: only the margin for
        // rounding keeps the bounds below it.
        {"a silent take", word, silence},
        {"a silent take, 64 columns", Drifting(200, 64, 42), Drifting(150, 64, 43, 0.0)},
        {"a silent take, 61 columns", Drifting(150, 61, 44), Drifting(200, 61, 45, 0.0)},
        {"a silent utterance", silence, other},
        {"scores far below their column's largest, itself", spiky, spiky},
        {"scores far below their column's largest", word, spiky},
        {"tiny scores", Drifting(120, 6, 40, 1e-290), Drifting(140, 6, 41, 1e-290)},
        {"large scores", Drifting(120, 6, 40, 1e26), Drifting(140, 6, 41, 1e26)},
        {"huge scores", Drifting(120, 6, 40, 1e290), Drifting(140, 6, 41, 1e290)},
        {"no id in common", word, withColumns(other, {21, 22}, {0, 1})},
    };
    for (const Case& c : cases)
        ExpectBoundsHold(c.utterance, c.stored, c.what);
}

TEST(AlignedDistanceBound, NothingToAlignIsInfinitelyFarAndForeignFramesBoundNothing)
{
    const TCommandTraj word = Drifting(120, 6, 40);
    const TCompactScores compact = CompactFrames(word);
    const TAlignedMatcher matcher(word);
    EXPECT_EQ(matcher.BlockDistanceAtLeast(compact, {31, 32, 33, 34, 35, 36}), kInfinity);
    EXPECT_EQ(matcher.DistanceAtLeast(TCompactScores{6, compact.Step, {}}, word.Ids, kInfinity), kInfinity);
    const TCommandTraj silent = MakeTraj(word.Ids, {});
    const TAlignedMatcher empty(silent);
    EXPECT_EQ(empty.BlockDistanceAtLeast(compact, word.Ids), kInfinity);
    // Ids that do not fit the frames: nothing can be said, and nothing out of them is read.
    EXPECT_EQ(matcher.BlockDistanceAtLeast(compact, {1, 2, 3}), 0.0);
    EXPECT_EQ(matcher.DistanceAtLeast(compact, {1, 2, 3, 4, 5, 6, 7}, kInfinity), 0.0);
}

TEST(AlignedDistanceBound, BlocksCountEveryCellAPathMustHold)
{
    // Every utterance frame 1 and every stored one 0: each cell costs 1, so the distance is the fewest cells a
    // path holds over n + m. Counting a block cell once, however many cells the path holds there, would give
    // far less where the path runs down a column, along a row or across the diagonal.
    struct Case {
        size_t utteranceFrames, storedFrames, rowsPerBlock, framesPerBlock;
        double leastCells;   // that the blocks can be sure of
    };
    const Case cases[] = {
        {30, 1, 3, 2, 30},   // down one column: every row is a cell
        {1, 30, 3, 2, 28},   // along one row: every block but the two ends crossed whole
        {30, 30, 3, 2, 30},  // the diagonal: a cell per row
        {31, 31, 3, 2, 31},  // and a shorter last block on either side
        {30, 30, 1, 1, 30},
    };
    for (const Case& c : cases) {
        const TFrameSeries utterance{4, std::vector<double>(c.utteranceFrames * 4, 1.0)};
        const TFrameSeries stored{4, std::vector<double>(c.storedFrames * 4, 0.0)};
        std::vector<const double*> rows;
        for (size_t j = 0; j < stored.Count(); ++j)
            rows.push_back(stored.Frame(j));
        const TCompactScores compact = CompactScoresOf(rows, stored.Width).value();
        const TBoundFrames frames(utterance, c.rowsPerBlock);
        const double total = static_cast<double>(c.utteranceFrames + c.storedFrames);
        const double coarse = CoarseAlignedDistanceAtLeast(frames, compact, 0.25, kInfinity, c.framesPerBlock);
        const std::string what = std::to_string(c.utteranceFrames) + " frames against " +
                                 std::to_string(c.storedFrames);
        EXPECT_LE(coarse, AlignedFrameDistance(utterance, stored, 0.25)) << what;
        EXPECT_GE(coarse, c.leastCells / total * (1 - 1e-4)) << what;   // less only its margin for rounding
    }
}

TEST(AlignedDistanceBound, TheAlignmentTellsANoisyTakeFromOtherCommands)
{
    // A noisy take of a command against the other take of the same command and the takes of the others: the
    // compact alignment of every other command lies beyond the right take's exact distance, so none of them
    // needs reading; the alignment over blocks, asked first, rules out nearly all of them (all 80 now).
    size_t blocksRuledOut = 0;
    for (size_t u = 0; u < kShippedTakes.size(); ++u) {
        const TCommandTraj utterance = Noisy(ShippedTake(kShippedTakes[u]), 100 + static_cast<uint32_t>(u), 0.02);
        const TAlignedMatcher matcher(utterance);
        const TCommandTraj sameCommand = ShippedTake(kShippedTakes[u ^ 1]);
        const double right = matcher.Distance(sameCommand);
        for (size_t s = 0; s < kShippedTakes.size(); ++s) {
            if (s / 2 == u / 2)
                continue;
            const TCommandTraj other = ShippedTake(kShippedTakes[s]);
            const TCompactScores compact = CompactFrames(other);
            EXPECT_GT(matcher.DistanceAtLeast(compact, other.Ids, kInfinity), right)
                << kShippedTakes[u] << " against " << kShippedTakes[s];
            blocksRuledOut += matcher.BlockDistanceAtLeast(compact, other.Ids) > right ? 1 : 0;
        }
    }
    EXPECT_GE(blocksRuledOut, 72u);
}

}  // namespace
