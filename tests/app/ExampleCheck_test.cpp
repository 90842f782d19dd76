#include "ExampleCheck.h"

#include <gtest/gtest.h>

#include <cmath>

#include "FileRecognizer.h"

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;

// A quiet stretch of the given level, then a loud one of the given peak.
std::vector<int16_t> Utterance(int quietLevel, int loudPeak, int fullScaleRun = 0)
{
    std::vector<int16_t> samples(6400);
    for (size_t i = 0; i < samples.size(); ++i) {
        const double wave = std::sin(0.3 * static_cast<double>(i));
        samples[i] = static_cast<int16_t>(std::lround((i >= 2560 ? loudPeak : quietLevel) * wave));
    }
    for (int i = 0; i < fullScaleRun; ++i)
        samples[4000 + static_cast<size_t>(i)] = 32767;
    return samples;
}

std::vector<TExampleWarning> Levels(const std::vector<int16_t>& samples)
{
    return CheckExample(samples, TCommandTraj{}, nullptr);
}

TEST(ExampleCheck, LevelsTellQuietClippedAndNoisyRecordings)
{
    using W = TExampleWarning;
    const struct {
        const char* what;
        std::vector<int16_t> samples;
        std::vector<W> warnings;
    } cases[] = {
        {"a word 40 dB over a quiet room", Utterance(100, 10000), {}},
        {"a loudest sample of 1000", Utterance(10, 1000), {W::TooQuiet}},
        {"three samples at full scale", Utterance(100, 10000, 3), {W::Clipped}},
        {"two samples at full scale", Utterance(100, 10000, 2), {}},
        {"a word 12 dB over the noise", Utterance(2500, 10000), {W::MostlyNoise}},
        {"a clipped word 6 dB over the noise", Utterance(5000, 10000, 3), {W::Clipped, W::MostlyNoise}},
        {"digital silence", Utterance(0, 0), {W::TooQuiet}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Levels(c.samples), c.warnings) << c.what;
}

TCommandTraj TrajectoryOf(const std::string& take)
{
    TFileRecognizer recognizer(kGolden + "/models/", TMatchMode::Aligned);
    EXPECT_TRUE(recognizer.Recognize(kGolden + "/wav/" + take + ".wav").Recognized) << take;
    return recognizer.Sovo().LastTraj;
}

// Another take of the word joins its examples quietly; another word, or a vowel, is different from them.
TEST(ExampleCheck, ATakeOfAnotherWordIsDifferentFromTheCommandsExamples)
{
    const std::vector<int16_t> clean = Utterance(100, 10000);
    for (const std::vector<std::string>& examples :
         std::vector<std::vector<std::string>>{{"open_train1", "open_train2"}, {"open_train1"}}) {
        TVoiceCommandModel open;
        for (const std::string& take : examples)
            open.Trajectories.push_back(TrajectoryOf(take));
        const std::string count = std::to_string(examples.size()) + " example(s)";
        EXPECT_EQ(CheckExample(clean, TrajectoryOf("open_test1"), &open), std::vector<TExampleWarning>{}) << count;
        for (const char* other : {"stop_test1", "close_test1", "vowel_a"})
            EXPECT_EQ(CheckExample(clean, TrajectoryOf(other), &open),
                      std::vector<TExampleWarning>{TExampleWarning::Different})
                << other << ", " << count;
    }
}

// Copies of one recording match each other perfectly; a sound new take is not different from them.
TEST(ExampleCheck, CopiesOfOneRecordingDoNotMakeEveryNewTakeDifferent)
{
    TVoiceCommandModel open;
    open.Trajectories = {TrajectoryOf("open_train1"), TrajectoryOf("open_train1")};
    EXPECT_EQ(CheckExample(Utterance(100, 10000), TrajectoryOf("open_train2"), &open), std::vector<TExampleWarning>{});
}

}  // namespace
