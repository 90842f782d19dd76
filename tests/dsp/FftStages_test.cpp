// The fast butterfly stages must give the reference stages' values to the bit, in both directions, for
// every transform size, four doubles at a time where the processor can and two at a time.
#include "FftStages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "ArithmeticPath.h"

namespace {

std::vector<double> SineTable(int32_t order)
{
    const int32_t size = int32_t{1} << order;
    std::vector<double> table(size);
    for (int32_t i = 0; i < size; ++i)
        table[i] = std::sin(2 * std::numbers::pi * i / size);
    return table;
}

template <TDirection direction>
void ExpectFastEqualsReference(int32_t order, std::mt19937& rng, bool realInput)
{
    const int32_t size = int32_t{1} << order;
    std::uniform_real_distribution<double> value(-32768.0, 32767.0);
    std::vector<double> re(size), im(size);
    for (int32_t i = 0; i < size; ++i) {
        re[i] = value(rng);
        im[i] = realInput ? 0.0 : value(rng);
    }
    const std::vector<double> sinTable = SineTable(order);
    std::vector<double> fastRe = re, fastIm = im;
    ReferenceStages<direction>(re.data(), im.data(), sinTable.data(), order);
    FastStages<direction>(fastRe.data(), fastIm.data(), MakeStageTwiddles(sinTable, order), order);
    EXPECT_EQ(std::memcmp(re.data(), fastRe.data(), size * sizeof(double)), 0) << "order " << order;
    EXPECT_EQ(std::memcmp(im.data(), fastIm.data(), size * sizeof(double)), 0) << "order " << order;
}

TEST(FftStages, FastStagesGiveTheReferenceValuesBitForBit)
{
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide vectors allowed" : "wide vectors off");
        AllowWideVectors(wide);
        std::mt19937 rng(7);
        for (int32_t order = 4; order <= 12; ++order) {
            ExpectFastEqualsReference<TDirection::Analysis>(order, rng, true);
            ExpectFastEqualsReference<TDirection::Analysis>(order, rng, false);
            ExpectFastEqualsReference<TDirection::Synthesis>(order, rng, false);
        }
        AllowWideVectors(true);
    }
}

TEST(FftStages, RealAnalysisGivesTheEvenPositionsUpToTheSignOfZeros)
{
    // Whatever the imaginary parts hold on entry; frames with silent stretches make zeros to compare.
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide vectors allowed" : "wide vectors off");
        AllowWideVectors(wide);
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> value(-1000.0, 1000.0);
        for (int32_t order = 4; order <= 10; ++order) {
            const int32_t size = int32_t{1} << order;
            const std::vector<double> sinTable = SineTable(order);
            for (const bool silentHalf : {false, true}) {
                std::vector<double> re(size), im(size, 0.0);
                for (int32_t n = 0; n < size; ++n)
                    re[n] = silentHalf && n < size / 2 ? 0.0 : value(rng);
                std::vector<double> fastRe = re, fastIm(size, 12345.0);
                ReferenceStages<TDirection::Analysis>(re.data(), im.data(), sinTable.data(), order);
                FastRealAnalysis(fastRe.data(), fastIm.data(), MakeStageTwiddles(sinTable, order), order);
                for (int32_t j = 0; j < size; j += 2) {
                    ASSERT_EQ(re[j], fastRe[j]) << order << " " << j;
                    ASSERT_EQ(im[j], fastIm[j]) << order << " " << j;
                    if (re[j] != 0) {
                        ASSERT_EQ(std::memcmp(&re[j], &fastRe[j], sizeof(double)), 0) << order << " " << j;
                    }
                    if (im[j] != 0) {
                        ASSERT_EQ(std::memcmp(&im[j], &fastIm[j], sizeof(double)), 0) << order << " " << j;
                    }
                }
            }
        }
        AllowWideVectors(true);
    }
}

}  // namespace
