#include "TrajectoryEndpoint.h"

#include <gtest/gtest.h>

#include <vector>

#include "TrajectoryMaker.h"

namespace {

constexpr size_t kMargin = 15;   // rows kept on either side of the speech

// A word of 120 rows: loud, with a weaker stretch in the middle as at a closure.
std::vector<double> Word()
{
    std::vector<double> word(120, 1.0);
    for (size_t j = 50; j < 70; ++j)
        word[j] = 0.6;
    return word;
}

// lead rows of background, the word, trail rows of background; the background flickers by a fifth around its
// level as noise does (digital silence stays 0).
TCommandTraj Utterance(size_t lead, size_t trail, double background, double scale = 1.0)
{
    std::vector<double> values;
    const auto noise = [&](size_t count) {
        for (size_t j = 0; j < count; ++j)
            values.push_back(scale * background * (j % 2 == 0 ? 0.8 : 1.2));
    };
    noise(lead);
    for (const double value : Word())
        values.push_back(scale * value);
    noise(trail);
    return Series(1, values);
}

TEST(SpeechRows, TheWordWithAMarginWhateverTheBackgroundAndLevel)
{
    struct Case {
        const char* what;
        TCommandTraj traj;
        size_t first, end;
    };
    const Case cases[] = {
        {"noise lead and trail", Utterance(60, 80, 0.1), 60 - kMargin, 180 + kMargin},
        {"digital silence", Utterance(60, 80, 0.0), 60 - kMargin, 180 + kMargin},
        {"a noise floor a fifth of the peak", Utterance(60, 80, 0.2), 60 - kMargin, 180 + kMargin},
        {"the same a thousand times quieter", Utterance(60, 80, 0.1, 0.001), 60 - kMargin, 180 + kMargin},
        {"margins end at the first and last row", Utterance(5, 3, 0.1), 0, 128},
        {"nothing but the word", Utterance(0, 0, 0.0), 0, 120},
    };
    for (const Case& c : cases) {
        const TRowSpan span = SpeechRows(c.traj);
        EXPECT_EQ(span.First, c.first) << c.what;
        EXPECT_EQ(span.End, c.end) << c.what;
    }
}

TEST(SpeechRows, AWeakOnsetIsSpeechInAQuietRoomAndNoiseInANoisyOne)
{
    // 60 rows of background, 20 rows at a fifth of the peak, the word. Under a floor more than 300 times
    // below the peak the weak rows clear the quiet share (15 %); closer to the floor they must clear 25 %.
    struct Case {
        const char* what;
        double background;
        size_t first;
    };
    const Case cases[] = {
        {"quiet room", 0.001, 60 - kMargin},
        {"noisy room", 0.01, 80 - kMargin},
    };
    for (const Case& c : cases) {
        std::vector<double> values(60, c.background);
        values.insert(values.end(), 20, 0.2);
        values.insert(values.end(), 100, 1.0);
        values.insert(values.end(), 60, c.background);
        EXPECT_EQ(SpeechRows(Series(1, values)).First, c.first) << c.what;
    }
}

TEST(SpeechRows, LoudnessIsTheSumOfTheRowsScores)
{
    // The word's first half scores in one column, its second half in another: neither alone is the word.
    std::vector<std::vector<double>> rows(40, {0.05, 0.05});
    rows.insert(rows.end(), 30, {1.0, 0.0});
    rows.insert(rows.end(), 30, {0.0, 1.0});
    rows.insert(rows.end(), 40, {0.05, 0.05});
    const TRowSpan span = SpeechRows(MakeTraj({1, 2}, rows));
    EXPECT_EQ(span.First, 40 - kMargin);
    EXPECT_EQ(span.End, 100 + kMargin);
    EXPECT_EQ(span.Size(), 60 + 2 * kMargin);
}

TEST(SpeechRows, EvenLoudnessKeepsEveryRow)
{
    EXPECT_EQ(SpeechRows(Series(1, std::vector<double>(50, 0.3))).End, 50u);
    EXPECT_EQ(SpeechRows(Series(1, std::vector<double>(50, 0.0))).End, 50u);
    EXPECT_EQ(SpeechRows(MakeTraj({1, 2}, {})).Size(), 0u);
}

}  // namespace
