// Utterances found in a running stream: where they begin and end against the room's floor, what is dropped,
// and that the finder's word arrives in order and never runs ahead of the samples it has seen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "UtteranceFinder.h"

namespace {

constexpr double kRate = 22050.0;

// A room: white noise of the given RMS; sounds are laid over it.
class Stream {
public:
    Stream(double seconds, double noiseRms) : samples_(static_cast<size_t>(seconds * kRate))
    {
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, noiseRms);
        for (double& s : samples_)
            s = noise(random);
    }

    // A vowel-like sound (harmonics of 140 Hz) of the given RMS from start for seconds.
    Stream& Voice(double start, double seconds, double rms)
    {
        const auto first = static_cast<size_t>(start * kRate);
        const auto count = static_cast<size_t>(seconds * kRate);
        for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            double v = 0.0;
            for (int h = 1; h <= 8; ++h)
                v += std::sin(2 * std::numbers::pi * 140.0 * h * t) / h;
            samples_[first + i] += rms * 1.2 * v;
        }
        return *this;
    }

    // The room's noise from start on, louder by the factor.
    Stream& Louder(double start, double factor)
    {
        for (size_t i = static_cast<size_t>(start * kRate); i < samples_.size(); ++i)
            samples_[i] *= factor;
        return *this;
    }

    std::vector<int16_t> Samples() const
    {
        std::vector<int16_t> out;
        for (const double s : samples_)
            out.push_back(static_cast<int16_t>(std::lround(std::clamp(s, -32768.0, 32767.0))));
        return out;
    }

private:
    std::vector<double> samples_;
};

struct Found {
    double SpeechStart;
    double SpeechEnd;
};

// Everything the finder says about a stream fed in blocks of blockSize, checked as it comes: an utterance
// begins before it grows or ends, grows forward and never beyond what has been fed, and ends no earlier than
// it has grown.
struct Listening {
    std::vector<Found> Utterances;
    int Dropped = 0;
    std::vector<std::string> Faults;

    Listening(const std::vector<int16_t>& samples, int32_t blockSize, bool finish = true, const TFinderRule& rule = {})
    {
        TUtteranceFinder finder(rule);
        bool open = false;
        int64_t start = 0, grown = 0;
        finder.OnBegin = [&](int64_t at) {
            if (open)
                Faults.push_back("begun twice");
            open = true;
            start = grown = at;
            if (at > finder.Position() || finder.Position() - at > finder.LongestLookBack())
                Faults.push_back("begins out of reach");
        };
        finder.OnGrow = [&](int64_t end) {
            if (!open || end <= grown || end > finder.Position())
                Faults.push_back("grows wrongly");
            grown = end;
        };
        finder.OnEnd = [&](const TFoundSpeech& found) {
            if (!open || found.End < grown || found.End > finder.Position() || found.Start != start ||
                found.SpeechStart < found.Start || found.SpeechEnd > found.End)
                Faults.push_back("ends wrongly");
            open = false;
            Utterances.push_back({found.SpeechStart / kRate, found.SpeechEnd / kRate});
        };
        finder.OnDrop = [&] {
            open = false;
            ++Dropped;
        };
        for (size_t i = 0; i < samples.size(); i += static_cast<size_t>(blockSize)) {
            const auto count = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(blockSize), samples.size() - i));
            finder.AddSamples(samples.data() + i, count);
        }
        if (finish)
            finder.Finish();
    }
};

// The found speech lies within a frame and a little of the sound.
void ExpectSpan(const Found& found, double start, double end)
{
    EXPECT_NEAR(found.SpeechStart, start, 0.03);
    EXPECT_NEAR(found.SpeechEnd, end, 0.03);
}

TEST(UtteranceFinder, FindsEachWordOnceWhereItIsSpokenInAQuietAndInANoisyRoom)
{
    for (const double noise : {30.0, 600.0}) {
        SCOPED_TRACE(noise);
        const auto samples = Stream(6.0, noise).Voice(1.0, 0.5, 4000).Voice(2.3, 0.3, 3000).Voice(4.0, 0.8, 5000).Samples();
        const Listening heard(samples, 1024);
        EXPECT_TRUE(heard.Faults.empty()) << heard.Faults.front();
        ASSERT_EQ(heard.Utterances.size(), 3u);
        ExpectSpan(heard.Utterances[0], 1.0, 1.5);
        ExpectSpan(heard.Utterances[1], 2.3, 2.6);
        ExpectSpan(heard.Utterances[2], 4.0, 4.8);
        EXPECT_EQ(heard.Dropped, 0);
    }
}

TEST(UtteranceFinder, WhatItFindsDoesNotDependOnHowTheStreamIsCut)
{
    const auto samples = Stream(4.0, 200).Voice(0.7, 0.4, 3000).Voice(2.0, 0.6, 3000).Samples();
    const Listening whole(samples, static_cast<int32_t>(samples.size()));
    ASSERT_EQ(whole.Utterances.size(), 2u);
    for (const int32_t block : {1, 100, 1024, 4096}) {
        SCOPED_TRACE(block);
        const Listening cut(samples, block);
        EXPECT_TRUE(cut.Faults.empty());
        ASSERT_EQ(cut.Utterances.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(cut.Utterances[i].SpeechStart, whole.Utterances[i].SpeechStart);
            EXPECT_EQ(cut.Utterances[i].SpeechEnd, whole.Utterances[i].SpeechEnd);
        }
    }
}

TEST(UtteranceFinder, PausesInsideAWordKeepItWholeAndLongerOnesSeparateWords)
{
    struct Case {
        double Pause;
        size_t Utterances;
    };
    for (const Case c : {Case{0.1, 1u}, Case{0.18, 1u}, Case{0.35, 2u}, Case{0.6, 2u}}) {
        SCOPED_TRACE(c.Pause);
        const auto samples = Stream(4.0, 100).Voice(1.0, 0.3, 3000).Voice(1.3 + c.Pause, 0.3, 3000).Samples();
        const Listening heard(samples, 1024);
        ASSERT_EQ(heard.Utterances.size(), c.Utterances);
        EXPECT_NEAR(heard.Utterances.back().SpeechEnd, 1.6 + c.Pause, 0.03);
    }
}

TEST(UtteranceFinder, ClicksKnocksAndSoundsTooLongAreNoUtterance)
{
    // A click is too short to begin one; a knock begins one and is dropped for its length; a sound longer
    // than the longest utterance is dropped, what is left of it ignored, and the word spoken once the room is
    // quiet again is found.
    TFinderRule rule;
    rule.LongestSeconds = 1.5;
    const auto samples = Stream(8.0, 100)
                             .Voice(1.0, 0.01, 8000)
                             .Voice(2.0, 0.045, 8000)
                             .Voice(3.0, 2.0, 3000)
                             .Voice(6.0, 0.5, 3000)
                             .Samples();
    const Listening heard(samples, 1024, true, rule);
    EXPECT_TRUE(heard.Faults.empty());
    ASSERT_EQ(heard.Utterances.size(), 1u);
    ExpectSpan(heard.Utterances[0], 6.0, 6.5);
    EXPECT_EQ(heard.Dropped, 2);
}

TEST(UtteranceFinder, FollowsTheRoomWhenItGetsLouderForGood)
{
    // The room gets 20 dB louder at 2 s (taken for an utterance until the floor has caught up); a word spoken
    // 4 s later as loud above the new floor as the first was above the old is found where it is.
    const auto samples = Stream(10.0, 30).Voice(1.0, 0.4, 1000).Louder(2.0, 10.0).Voice(6.0, 0.4, 10000).Samples();
    const Listening heard(samples, 1024);
    ASSERT_GE(heard.Utterances.size(), 2u);
    ExpectSpan(heard.Utterances.front(), 1.0, 1.4);
    ExpectSpan(heard.Utterances.back(), 6.0, 6.4);
}

TEST(UtteranceFinder, TheEndOfTheStreamEndsTheWordInProgressAndSilenceHoldsNone)
{
    const auto samples = Stream(2.0, 100).Voice(1.5, 0.5, 3000).Samples();
    EXPECT_TRUE(Listening(samples, 1024, false).Utterances.empty());
    const Listening finished(samples, 1024);
    ASSERT_EQ(finished.Utterances.size(), 1u);
    ExpectSpan(finished.Utterances[0], 1.5, 2.0);

    // Digital silence and a muted microphone's last bit: nothing is speech, however far above that floor.
    EXPECT_TRUE(Listening(Stream(3.0, 0).Samples(), 1024).Utterances.empty());
    EXPECT_TRUE(Listening(Stream(3.0, 0).Voice(1.0, 0.5, 3).Samples(), 1024).Utterances.empty());
}

}  // namespace
