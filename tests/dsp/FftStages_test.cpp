// The fast transforms must give the reference stages' values to the bit, in natural order, for every transform
// size (both shapes of the last stages, and the smallest transform with its single block), four doubles at a
// time where the processor can and two at a time.
#include "FftStages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "BitReversal.h"
#include "VectorWidth.h"

namespace {

constexpr int32_t kMinOrder = 4;
constexpr int32_t kMaxOrder = 12;

std::vector<double> SineTable(int32_t order)
{
    const int32_t size = int32_t{1} << order;
    std::vector<double> table(size);
    for (int32_t i = 0; i < size; ++i)
        table[i] = std::sin(2 * std::numbers::pi * i / size);
    return table;
}

struct TValues {
    std::vector<double> re;
    std::vector<double> im;
};

// The reference stages' results, bit-reversed back into natural order.
template <TDirection direction>
TValues ReferenceInNaturalOrder(TValues values, const std::vector<double>& sinTable, int32_t order)
{
    ReferenceStages<direction>(values.re.data(), values.im.data(), sinTable.data(), order);
    TValues ordered = values;
    for (int32_t k = 0; k < (int32_t{1} << order); ++k) {
        ordered.re[k] = values.re[BitReversed(k, order)];
        ordered.im[k] = values.im[BitReversed(k, order)];
    }
    return ordered;
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof(double)) == 0;
}

// Runs check(order, rng) for every transform size, with wide vectors allowed and with them off; stops at the
// first failed assertion.
template <class TCheck>
void ForEveryOrderAndWidth(unsigned seed, TCheck check)
{
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide vectors allowed" : "wide vectors off");
        const TVectorWidth width(wide);
        std::mt19937 rng(seed);
        for (int32_t order = kMinOrder; order <= kMaxOrder && !testing::Test::HasFatalFailure(); ++order) {
            SCOPED_TRACE(testing::Message() << "order " << order);
            check(order, rng);
        }
    }
}

TEST(FftStages, SynthesisGivesTheReferenceValuesBitForBit)
{
    ForEveryOrderAndWidth(7, [](int32_t order, std::mt19937& rng) {
        std::uniform_real_distribution<double> value(-32768.0, 32767.0);
        const int32_t size = int32_t{1} << order;
        TValues input{std::vector<double>(size), std::vector<double>(size)};
        for (int32_t n = 0; n < size; ++n) {
            input.re[n] = value(rng);
            input.im[n] = value(rng);
        }
        const std::vector<double> sinTable = SineTable(order);
        const TValues expected = ReferenceInNaturalOrder<TDirection::Synthesis>(input, sinTable, order);
        TValues points{std::vector<double>(size, -1.0), std::vector<double>(size, -1.0)};
        FastSynthesis(input.re.data(), input.im.data(), MakeStageTwiddles(sinTable, order), order,
                      {points.re.data(), points.im.data()});
        for (int32_t n = 0; n < size; ++n) {
            ASSERT_TRUE(SameBits(points.re[n], expected.re[n])) << "point " << n;
            ASSERT_TRUE(SameBits(points.im[n], expected.im[n])) << "point " << n;
        }
    });
}

TEST(FftStages, RealAnalysisGivesTheReferenceBinsUpToTheSignOfZerosAndTheirMagnitudes)
{
    // From doubles and from 16-bit samples, whatever the scratch holds on entry; frames with a silent half
    // make zeros to compare.
    ForEveryOrderAndWidth(11, [](int32_t order, std::mt19937& rng) {
        std::uniform_int_distribution<int> sample(-32768, 32767);
        const int32_t size = int32_t{1} << order;
        const int32_t half = size / 2;
        const std::vector<double> sinTable = SineTable(order);
        const TStageTwiddles twiddles = MakeStageTwiddles(sinTable, order);
        for (const bool silentHalf : {false, true}) {
            for (const bool fromSamples : {false, true}) {
                SCOPED_TRACE(testing::Message() << (silentHalf ? "silent half, " : "")
                                                << (fromSamples ? "from samples" : "from doubles"));
                std::vector<int16_t> samples(size);
                for (int32_t n = 0; n < size; ++n)
                    samples[n] = static_cast<int16_t>(silentHalf && n < half ? 0 : sample(rng));
                TValues input{std::vector<double>(samples.begin(), samples.end()), std::vector<double>(size, 0.0)};
                const TValues expected = ReferenceInNaturalOrder<TDirection::Analysis>(input, sinTable, order);
                std::vector<double> re(size, 12345.0), im(size, 12345.0);
                TValues bins{std::vector<double>(half, -1.0), std::vector<double>(half, -1.0)};
                std::vector<double> magnitudes(half, -1.0);
                if (fromSamples) {
                    FastRealAnalysis(samples.data(), re.data(), im.data(), twiddles, order,
                                     {bins.re.data(), bins.im.data()}, magnitudes.data());
                } else {
                    FastRealAnalysis(input.re.data(), im.data(), twiddles, order, {bins.re.data(), bins.im.data()},
                                     magnitudes.data());
                }
                for (int32_t k = 0; k < half; ++k) {
                    const double re = expected.re[k], im = expected.im[k];
                    ASSERT_TRUE(SameBits(bins.re[k], re) || (re == 0 && bins.re[k] == 0)) << "bin " << k;
                    ASSERT_TRUE(SameBits(bins.im[k], im) || (im == 0 && bins.im[k] == 0)) << "bin " << k;
                    ASSERT_TRUE(SameBits(magnitudes[k], std::sqrt(re * re + im * im))) << "bin " << k;
                }
            }
        }
    });
}

}  // namespace
