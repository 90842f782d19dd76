#include "AlignedLikeness.h"

#include <gtest/gtest.h>

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

TEST(AlignedLikeness, RootScoresASteadyTenthApartGiveOneOverE)
{
    // Even rows keep whole; the roots 0.5 and 0.4 differ by 0.1 on every frame of the diagonal, which is half
    // the frames of both series: a cost of 0.05, the scale of the likeness.
    const TCommandTraj utterance = Series(1, std::vector<double>(30, 0.25));
    EXPECT_NEAR(AlignedLikeness(utterance, Series(1, std::vector<double>(30, 0.16))), std::exp(-1.0), 1e-12);
}

TEST(AlignedLikeness, HowLongTheNoiseAroundTheWordLastsDoesNotMatter)
{
    // Classic matching correlates the whole series; here both sides are cut to their speech first.
    const TCommandTraj stored = Word(kWord, 60, 60, 0.1);
    EXPECT_EQ(AlignedLikeness(Word(kWord, 40, 40, 0.1), stored), 1.0);
    EXPECT_EQ(AlignedLikeness(Word(kWord, 200, 100, 0.1), stored), 1.0);
    EXPECT_EQ(AlignedLikeness(stored, Word(kWord, 20, 300, 0.1)), 1.0);

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
