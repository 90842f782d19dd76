#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ReferenceArithmetic.h"
#include "SovoUtils.h"
#include "VectorWidth.h"

namespace {

// A non-constant signal that repeats exactly every `period` samples.
std::vector<int16_t> Periodic(int32_t count, int32_t period)
{
    std::vector<int16_t> samples(count);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t phase = i % period;
        samples[i] = static_cast<int16_t>(phase * phase % 977 - 400);
    }
    return samples;
}

double VoicingOf(const std::vector<int16_t>& samples, double tone)
{
    return Voicing(samples.data(), static_cast<int32_t>(samples.size()), tone);
}

TEST(Voicing, NeedsTwoAndAHalfPeriodsAndTheLagReach)
{
    // 220.5 Hz: period 100 samples, lags 90..109, so 2.5 * 100 + 10 = 260 samples are not enough.
    const std::vector<int16_t> samples = Periodic(300, 100);
    struct Case { int32_t count; bool voiced; };
    const Case cases[] = {{0, false}, {260, false}, {261, true}, {300, true}};
    for (const Case& c : cases) {
        const double v = Voicing(samples.data(), c.count, 220.5);
        if (c.voiced)
            EXPECT_NEAR(v, 1.0, 1e-12) << c.count;
        else
            EXPECT_EQ(v, 0.0) << c.count;
    }
}

TEST(Voicing, SilenceAndNoiseAreNotVoiced)
{
    EXPECT_EQ(VoicingOf(std::vector<int16_t>(1088, 0), 220.5), 0.0);
    EXPECT_EQ(VoicingOf(std::vector<int16_t>(1088, -300), 150.0), 0.0);

    std::mt19937 rng(3);
    std::uniform_int_distribution<int> dist(-10000, 10000);
    std::vector<int16_t> noise(1088);
    for (int16_t& s : noise)
        s = static_cast<int16_t>(dist(rng));
    EXPECT_LT(VoicingOf(noise, 150.0), 0.3);
}

TEST(Voicing, ToneWithoutAUsablePeriodGivesZero)
{
    // Not positive: no period at all. Tiny: a period far beyond any block. Above 44.1 kHz: a period of 0 samples.
    const std::vector<int16_t> samples = Periodic(1088, 100);
    for (const double tone : {0.0, -0.466796875, -150.0, -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(), 1e-300, 50000.0})
        EXPECT_EQ(VoicingOf(samples, tone), 0.0) << tone;
}

TEST(Voicing, FastSumsGiveTheReferenceValueBitForBit)
{
    // Integer sums in any order equal the plain double sums; loud blocks test the 32-bit partial sums, down
    // to pairs of -32768 at both ends of a lag that is a multiple of four.
    std::mt19937 rng(5);
    struct Case { int amplitude; bool extremes; };
    const Case cases[] = {{0, false}, {300, false}, {12000, false}, {32767, true}};
    for (const Case& c : cases) {
        for (const double tone : {21.6, 60.0, 98.9, 220.5, 440.0, 1300.0, 3000.0}) {
            std::uniform_int_distribution<int> sample(-c.amplitude, c.amplitude);
            std::vector<int16_t> block(2100);
            for (size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<int16_t>(c.extremes && i % 4 < 2 ? -32768 : sample(rng));
            double reference;
            {
                TReferenceArithmetic plain;
                reference = VoicingOf(block, tone);
            }
            // Sixteen products at a time where the processor can, and eight.
            for (const bool wide : {true, false}) {
                const TVectorWidth width(wide);
                const double fast = VoicingOf(block, tone);
                EXPECT_EQ(fast, reference) << c.amplitude << " " << tone << (wide ? "" : ", eight at a time");
            }
        }
    }
}

}  // namespace
