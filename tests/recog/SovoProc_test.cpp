#include "SovoProc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

// A vowel-like test signal: quiet lead-in and tail around a voiced stretch of harmonics of 150 Hz.
std::vector<int16_t> Utterance(int32_t lead = 4000, int32_t voiced = 11025, int32_t tail = 4000, double scale = 1.0)
{
    std::vector<int16_t> samples(static_cast<size_t>(lead + voiced + tail), 0);
    for (int32_t i = 0; i < voiced; ++i) {
        double value = 0.0;
        for (int h = 1; h <= 8; ++h)
            value += scale * 3000.0 / h * std::sin(2 * std::numbers::pi * 150.0 * h * i / 22050.0);
        samples[static_cast<size_t>(lead + i)] = static_cast<int16_t>(value);
    }
    return samples;
}

TArrayAtoms Feed(TTeskProcessor& processor, const std::vector<int16_t>& samples, int32_t blockSize)
{
    processor.Restart();
    for (size_t at = 0; at < samples.size(); at += static_cast<size_t>(blockSize)) {
        const auto count = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(blockSize), samples.size() - at));
        processor.AddSamples(samples.data() + at, count);
    }
    processor.AddSamples(nullptr, 0);
    return processor.Atoms;
}

TEST(Processor, OneFullBlockPrimesAndFiltersButMakesNoAtom)
{
    TTeskProcessor processor;
    const std::vector<int16_t> block(1024, 100);
    processor.AddSamples(block.data(), 1024);
    EXPECT_EQ(processor.BandBuffer().Count(), 1024);
    EXPECT_EQ(processor.RawBuffer().Count(), 512);
    EXPECT_EQ(processor.AnalysisBuffer().Count(), 1024);
    EXPECT_TRUE(processor.Atoms.empty());
    EXPECT_FALSE(processor.FirstBlock());
}

TEST(Processor, FramesDoNotDependOnBlockSize)
{
    const std::vector<int16_t> samples = Utterance();
    TTeskProcessor reference;
    const TArrayAtoms expected = Feed(reference, samples, 1024);
    ASSERT_GT(expected.size(), 50u);
    for (const int32_t blockSize : {2000, 333, 64, 100000}) {
        TTeskProcessor processor;
        const TArrayAtoms atoms = Feed(processor, samples, blockSize);
        ASSERT_EQ(atoms.size(), expected.size()) << blockSize;
        for (size_t i = 0; i < atoms.size(); ++i) {
            // Voicing alone may see more or fewer band samples; everything taken from the frame is the same.
            EXPECT_EQ(atoms[i].Energy, expected[i].Energy) << blockSize << " atom " << i;
            EXPECT_EQ(atoms[i].Quiet, expected[i].Quiet) << blockSize << " atom " << i;
            EXPECT_EQ(0, std::memcmp(atoms[i].EnvelopeBytes, expected[i].EnvelopeBytes, kBandCount))
                << blockSize << " atom " << i;
        }
    }
}

TEST(Processor, TrimsQuietLeadAndTailAndNormalisesLevel)
{
    TTeskProcessor processor;
    const TArrayAtoms atoms = Feed(processor, Utterance(), 1024);
    ASSERT_FALSE(atoms.empty());
    // The kept stretch is the voiced half second, give or take the integrator's smoothing.
    EXPECT_NEAR(static_cast<double>(atoms.size()), 11025.0 / 64, 40.0);
    double maxLevel = 0.0;
    for (const TAtom& atom : atoms) {
        EXPECT_GE(atom.Level, 0.0);
        maxLevel = std::max(maxLevel, atom.Level);
    }
    EXPECT_EQ(maxLevel, 1.0);
}

// Adds white noise spread evenly over -amplitude..amplitude (a fixed pseudo-random sequence).
std::vector<int16_t> WithNoise(std::vector<int16_t> samples, int amplitude)
{
    uint32_t state = 12345;
    for (int16_t& sample : samples) {
        state = state * 1664525u + 1013904223u;
        const int noise = static_cast<int>(state >> 16) % (2 * amplitude + 1) - amplitude;
        sample = static_cast<int16_t>(std::clamp(sample + noise, -32768, 32767));
    }
    return samples;
}

TEST(Processor, OwnFloorTrimFindsTheVoiceAtAnyLevelAndInNoise)
{
    constexpr int32_t kLead = 8000, kVoiced = 6000, kTail = 8000;
    constexpr double kVoicedAtoms = kVoiced / 64.0;
    constexpr double kMarginAtoms = 2 * 30;
    struct Case {
        const char* name;
        double scale;         // of the voice, whose loudest harmonic is 3000 at scale 1
        int noise;            // amplitude of the white noise under everything
        bool quietHopsKeeps;  // whether the absolute test finds the voice at all
    };
    const Case cases[] = {
        {"loud voice, quiet room", 1.0, 3, true},
        {"soft voice, quiet room", 0.01, 1, false},
        {"voice in loud noise", 1.0, 300, true},
    };
    for (const Case& c : cases) {
        const std::vector<int16_t> samples = WithNoise(Utterance(kLead, kVoiced, kTail, c.scale), c.noise);
        TTeskProcessor quietHops;
        EXPECT_EQ(Feed(quietHops, samples, 1024).empty(), !c.quietHopsKeeps) << c.name;

        TTeskProcessor ownFloor;
        ownFloor.Trim = TSpeechTrim::OwnFloor;
        const TArrayAtoms atoms = Feed(ownFloor, samples, 1024);
        // The voice with its margins, give or take the frame length and the integrator's smoothing; never the
        // lead or the tail whole.
        EXPECT_GE(static_cast<double>(atoms.size()), kVoicedAtoms) << c.name;
        EXPECT_LE(static_cast<double>(atoms.size()), kVoicedAtoms + kMarginAtoms + 40) << c.name;
        double maxLevel = 0.0;
        for (const TAtom& atom : atoms)
            maxLevel = std::max(maxLevel, atom.Level);
        EXPECT_EQ(maxLevel, 1.0) << c.name;
    }
}

TEST(Processor, OwnFloorTrimLeavesNoAtomsOfDigitalSilenceOrDither)
{
    for (const int dither : {0, 1}) {
        TTeskProcessor processor;
        processor.Trim = TSpeechTrim::OwnFloor;
        int ended = 0;
        processor.OnUtteranceEnd = [&ended] { ++ended; };
        EXPECT_TRUE(Feed(processor, WithNoise(std::vector<int16_t>(22050, 0), dither), 1024).empty()) << dither;
        EXPECT_EQ(ended, 1);
    }
}

// A hop whose frame is digital silence has no envelope to scale; its byte form stays that of the hop before.
// Voice of one kind, a shorter stretch of another, then silence, so that the hop before the silence differs
// from the hops further back.
TEST(Processor, ASilentHopKeepsTheBytesOfTheHopBeforeIt)
{
    std::vector<int16_t> samples = Utterance(0, 6000, 0);
    const std::vector<int16_t> other = Utterance(0, 3000, 0, 0.5);
    for (size_t i = 0; i < other.size(); ++i)
        samples.push_back(static_cast<int16_t>(other[i] + (i % 40 < 20 ? 2000 : -2000)));
    samples.resize(samples.size() + 3000, 0);
    const std::vector<int16_t> tail = Utterance(0, 6000, 0);
    samples.insert(samples.end(), tail.begin(), tail.end());
    for (const TSpeechTrim trim : {TSpeechTrim::QuietHops, TSpeechTrim::OwnFloor}) {
        TTeskProcessor processor;
        processor.Trim = trim;
        const TArrayAtoms atoms = Feed(processor, samples, 1024);
        int32_t silent = 0;
        for (size_t i = 1; i < atoms.size(); ++i) {
            if (*std::max_element(atoms[i].Envelope + 1, atoms[i].Envelope + kBandCount) != 0)
                continue;
            ++silent;
            EXPECT_EQ(0, std::memcmp(atoms[i].EnvelopeBytes, atoms[i - 1].EnvelopeBytes, kBandCount)) << i;
        }
        EXPECT_GT(silent, 0) << static_cast<int>(trim);
    }
}

// A processor that takes over another's memory writes its atoms where the other kept them, and makes the same
// atoms as a new one: the other's state (tone, smoothing, filters, a half-fed utterance) does not come along.
TEST(Processor, TakingOverMemoryKeepsNoState)
{
    const std::vector<int16_t> samples = Utterance();
    TTeskProcessor fresh;
    const TArrayAtoms expected = Feed(fresh, samples, 1024);

    TTeskProcessor old;
    Feed(old, WithNoise(Utterance(2000, 20000, 0, 0.3), 300), 1024);
    const TAtom* storage = old.Atoms.data();
    const std::vector<int16_t> half(samples.begin(), samples.begin() + 7000);
    old.AddSamples(half.data(), static_cast<int32_t>(half.size()));   // an utterance left half-fed

    TTeskProcessor reused;
    reused.TakeMemoryOf(old);
    EXPECT_TRUE(reused.Atoms.empty());
    const TArrayAtoms atoms = Feed(reused, samples, 1024);
    EXPECT_EQ(reused.Atoms.data(), storage);
    ASSERT_EQ(atoms.size(), expected.size());
    for (size_t i = 0; i < atoms.size(); ++i) {
        EXPECT_EQ(atoms[i].MainTone, expected[i].MainTone) << i;
        EXPECT_EQ(atoms[i].Voicing, expected[i].Voicing) << i;
        EXPECT_EQ(atoms[i].Energy, expected[i].Energy) << i;
        EXPECT_EQ(atoms[i].Level, expected[i].Level) << i;
        EXPECT_EQ(0, std::memcmp(atoms[i].EnvelopeBytes, expected[i].EnvelopeBytes, kBandCount)) << i;
    }
}

TEST(Processor, SilenceLeavesNoAtoms)
{
    TTeskProcessor processor;
    int ended = 0;
    processor.OnUtteranceEnd = [&ended] { ++ended; };
    EXPECT_TRUE(Feed(processor, std::vector<int16_t>(22050, 0), 1024).empty());
    EXPECT_EQ(ended, 1);
}

TEST(Processor, UtteranceShorterThanHalfAFrameEndsWithoutAtomsAndTheNextOneWorks)
{
    TTeskProcessor processor;
    int ended = 0;
    processor.OnUtteranceEnd = [&ended] { ++ended; };
    for (const int32_t length : {1, 300, 511}) {
        const std::vector<int16_t> blip(static_cast<size_t>(length), 5000);
        EXPECT_NO_THROW(Feed(processor, blip, 1024)) << length;
        EXPECT_TRUE(processor.Atoms.empty()) << length;
        EXPECT_TRUE(processor.FirstBlock());
        EXPECT_EQ(processor.AnalysisBuffer().Count(), 0);
    }
    EXPECT_EQ(ended, 3);
    EXPECT_FALSE(Feed(processor, Utterance(), 1024).empty());
}

TEST(Processor, EndOfUtteranceDrainsEveryBuffer)
{
    TTeskProcessor processor;
    // 64 * 100 + 37 samples: the final hop carries the 37 left over.
    const std::vector<int16_t> samples = Utterance(0, 64 * 100 + 37, 0);
    Feed(processor, samples, 1024);
    EXPECT_EQ(processor.RawBuffer().Count(), 0);
    EXPECT_EQ(processor.BandBuffer().Count(), 0);
    EXPECT_EQ(processor.AnalysisBuffer().Count(), 0);
    EXPECT_TRUE(processor.FirstBlock());
}

TEST(Processor, LongUtteranceKeepsItsFirstAtomsWhateverFollows)
{
    constexpr int32_t kCap = 300;   // about 0.9 s
    // Three seconds of voice; the copies differ only after the first two seconds.
    std::vector<int16_t> voice = Utterance(0, 3 * 22050, 0);
    std::vector<int16_t> noisyEnd = voice;
    for (size_t i = 2 * 22050; i < noisyEnd.size(); ++i)
        noisyEnd[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);

    TTeskProcessor unbounded;
    TTeskProcessor capped(kCap);
    const TArrayAtoms all = Feed(unbounded, voice, 1024);
    const TArrayAtoms kept = Feed(capped, voice, 1024);
    ASSERT_GT(all.size(), static_cast<size_t>(kCap));
    ASSERT_FALSE(kept.empty());
    EXPECT_LE(kept.size(), static_cast<size_t>(kCap));
    EXPECT_EQ(capped.AnalysisBuffer().Count(), 0);

    TTeskProcessor cappedNoisy(kCap);
    const TArrayAtoms keptNoisy = Feed(cappedNoisy, noisyEnd, 2000);
    ASSERT_EQ(keptNoisy.size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(keptNoisy[i].MainTone, kept[i].MainTone) << i;
        EXPECT_EQ(keptNoisy[i].Level, kept[i].Level) << i;
        EXPECT_EQ(0, std::memcmp(keptNoisy[i].EnvelopeBytes, kept[i].EnvelopeBytes, kBandCount)) << i;
    }
    // The next utterance starts empty again.
    EXPECT_FALSE(Feed(capped, Utterance(), 1024).empty());
}

}  // namespace
