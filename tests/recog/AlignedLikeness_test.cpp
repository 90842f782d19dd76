#include "AlignedLikeness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "TrajectoryMaker.h"

namespace {

struct TSound {
    size_t Column;   // the phoneme that scores high
    size_t Rows;
};

// A word over the phonemes 11, 12 and 13: each sound a run of rows in which its phoneme scores 0.9 and the
// others 0.1, between lead and trail rows of background (0.1 flickering by a fifth in every column, or 0).
TCommandTraj Word(const std::vector<TSound>& sounds, size_t lead = 40, size_t trail = 40, double background = 0.0)
{
    std::vector<std::vector<double>> rows;
    const auto quiet = [&](size_t count) {
        for (size_t j = 0; j < count; ++j)
            rows.push_back(std::vector<double>(3, background * (j % 2 == 0 ? 0.8 : 1.2)));
    };
    quiet(lead);
    for (const TSound& sound : sounds) {
        std::vector<double> row(3, 0.1);
        row[sound.Column] = 0.9;
        rows.insert(rows.end(), sound.Rows, row);
    }
    quiet(trail);
    return MakeTraj({11, 12, 13}, rows);
}

const std::vector<TSound> kWord = {{0, 30}, {1, 45}, {2, 30}};

TEST(AlignedLikeness, ItselfIsOneAndAnotherTempoBeatsAnotherWord)
{
    const TCommandTraj word = Word(kWord);
    EXPECT_EQ(AlignedLikeness(word, word), 1.0);

    const double slower = AlignedLikeness(Word({{0, 39}, {1, 58}, {2, 39}}), word);
    const double faster = AlignedLikeness(Word({{0, 25}, {1, 38}, {2, 25}}), word);
    const double otherWord = AlignedLikeness(Word({{2, 30}, {0, 45}, {1, 30}}), word);
    const double otherVowel = AlignedLikeness(Word({{0, 30}, {2, 45}, {2, 30}}), word);
    EXPECT_GT(slower, 0.8);
    EXPECT_GT(faster, 0.8);
    EXPECT_LT(otherWord, 0.5 * slower);
    EXPECT_LT(otherVowel, 0.5 * slower);
    EXPECT_LT(otherVowel, 1.0);
}

TEST(AlignedLikeness, RootScoresASteadyTenthApartAfterASilentStart)
{
    // The first tenth of the rows is silent, so nothing is taken off as background; the roots 0.5 and 0.4
    // then differ by 0.1 on nine of the ten frames of the diagonal: a cost of 0.9 over the 20 frames of both
    // series, 0.045, against the likeness's scale of 0.05.
    const auto series = [](double score) {
        std::vector<double> rows(30, score);
        std::fill(rows.begin(), rows.begin() + 3, 0.0);
        return Series(1, rows);
    };
    EXPECT_NEAR(AlignedLikeness(series(0.25), series(0.16)), std::exp(-0.9), 1e-12);
}

TEST(AlignedLikeness, WhatTheBackgroundScoresIsTakenOffEveryFrame)
{
    // The same word over a steady background, once with every score raised by what the background scores:
    // the frames are the same. Raised where the background is not, the word's frames differ.
    std::vector<std::vector<double>> rows;
    rows.insert(rows.end(), 10, std::vector<double>{0.0, 0.0});
    rows.insert(rows.end(), 40, std::vector<double>{0.9, 0.1});
    rows.insert(rows.end(), 40, std::vector<double>{0.1, 0.9});
    rows.insert(rows.end(), 10, std::vector<double>{0.0, 0.0});
    std::vector<std::vector<double>> raised = rows;
    for (std::vector<double>& row : raised) {
        row[0] += 0.05;
        row[1] += 0.02;
    }
    EXPECT_NEAR(AlignedLikeness(MakeTraj({1, 2}, raised), MakeTraj({1, 2}, rows)), 1.0, 1e-6);
    std::vector<std::vector<double>> wordRaised = raised;
    std::fill(wordRaised.begin(), wordRaised.begin() + 10, std::vector<double>{0.0, 0.0});
    std::fill(wordRaised.end() - 10, wordRaised.end(), std::vector<double>{0.0, 0.0});
    EXPECT_LT(AlignedLikeness(MakeTraj({1, 2}, wordRaised), MakeTraj({1, 2}, rows)), 0.9);
}

TEST(AlignedLikeness, HowLongTheNoiseAroundTheWordLastsDoesNotMatter)
{
    // Classic matching correlates the whole series; here both sides are cut to their speech first.
    const TCommandTraj stored = Word(kWord, 60, 60, 0.1);
    // The background is the mean of the quietest tenth of the rows, summed in another number of terms.
    EXPECT_NEAR(AlignedLikeness(Word(kWord, 40, 40, 0.1), stored), 1.0, 1e-6);
    EXPECT_NEAR(AlignedLikeness(Word(kWord, 200, 100, 0.1), stored), 1.0, 1e-6);
    EXPECT_NEAR(AlignedLikeness(stored, Word(kWord, 20, 300, 0.1)), 1.0, 1e-6);

    // Noise on one side only, digital silence on the other: the word still stands out.
    const TCommandTraj clean = Word(kWord, 60, 60, 0.0);
    const double noisy = AlignedLikeness(Word(kWord, 200, 100, 0.1), clean);
    const double noisyOther = AlignedLikeness(Word({{2, 30}, {0, 45}, {1, 30}}, 200, 100, 0.1), clean);
    EXPECT_GT(noisy, 3 * noisyOther);
}

TEST(AlignedLikeness, ColumnsMeetByIdAndUnknownIdsAreIgnored)
{
    const TCommandTraj word = Word(kWord);
    const auto withColumns = [&](const std::vector<int32_t>& ids, const std::vector<int>& from) {
        // Columns taken from word (-1: a column of its own, scoring 0.2 on every row).
        std::vector<std::vector<double>> rows;
        for (size_t j = 0; j < word.Rows.size(); ++j) {
            std::vector<double> row;
            for (const int column : from)
                row.push_back(column < 0 ? 0.2 : word.Rows[j][static_cast<size_t>(column)]);
            rows.push_back(row);
        }
        return MakeTraj(ids, rows);
    };
    struct Case {
        const char* what;
        TCommandTraj utterance;
        TCommandTraj stored;
        double likeness;
    };
    const Case cases[] = {
        {"stored columns in another order", word, withColumns({13, 11, 12}, {2, 0, 1}), 1.0},
        {"a stored column of an unknown id", word, withColumns({11, 99, 12, 13}, {0, -1, 1, 2}), 1.0},
        {"the first utterance column of an id", withColumns({11, 12, 13, 11}, {0, 1, 2, -1}), word, 1.0},
        {"no id in common", word, withColumns({21, 22}, {0, 1}), 0.0},
        {"no stored columns", word, TCommandTraj{}, 0.0},
        {"no utterance rows", MakeTraj({11, 12, 13}, {}), word, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AlignedLikeness(c.utterance, c.stored), c.likeness) << c.what;

    // An id the stored trajectory lacks leaves the utterance's column out of the frames.
    const double twoShared = AlignedLikeness(word, withColumns({11, 12}, {0, 1}));
    EXPECT_EQ(twoShared, 1.0);
}

}  // namespace
