// The gaps between intervals and coded values: what a code stands for, decoded ends of codes and of envelopes of
// codes, and the same sums at both widths up to the order of the additions.
#include "IntervalGaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "VectorWidth.h"

namespace {

// Gaps of one value against one code (step 1, exact ends): the code's interval and the value's.
float OneGap(float low, float high, uint8_t code)
{
    const float step = 1.0f;
    float codeLow = 0.0f, codeHigh = 0.0f;
    DecodeIntervals(&code, &step, &step, 1, &codeLow, &codeHigh);
    return std::sqrt(GapSquares(&low, &high, &codeLow, &codeHigh, 1));
}

TEST(IntervalGaps, ACodeStandsForAStepEitherSideAndZeroForZero)
{
    struct Case {
        float low, high;
        uint8_t code;
        float gap;
    };
    const Case cases[] = {
        {5.0f, 5.0f, 3, 1.0f},   // 3 stands for 2..4
        {1.0f, 1.0f, 3, 1.0f},
        {2.0f, 4.0f, 3, 0.0f},
        {0.0f, 6.0f, 9, 2.0f},   // 9 stands for 8..10
        {0.5f, 0.5f, 0, 0.5f},   // 0 is 0 itself
        {0.0f, 0.0f, 1, 0.0f},   // 1 stands for 0..2
        {0.0f, 0.0f, 255, 254.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OneGap(c.low, c.high, c.code), c.gap) << c.low << ".." << c.high << " against " << int(c.code);
}

TEST(IntervalGaps, DecodedEndsAndBothWidthsAgree)
{
    // Widths around the eight lanes; random intervals against the envelopes of random codes with random steps.
    // The plain sum, value by value, against the decoded ends.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(0.0f, 3.0f);
    std::uniform_int_distribution<int> code(0, 255);
    for (const size_t width : {1, 7, 8, 9, 16, 61, 64}) {
        std::vector<float> xLow(width), xHigh(width), down(width), up(width);
        std::vector<uint8_t> lowCodes(width), highCodes(width);
        float plain = 0.0f;
        for (size_t k = 0; k < width; ++k) {
            xLow[k] = value(random);
            xHigh[k] = xLow[k] + value(random) * 0.1f;
            lowCodes[k] = static_cast<uint8_t>(code(random) / 2);
            highCodes[k] = static_cast<uint8_t>(lowCodes[k] + code(random) / 4);
            down[k] = 0.01f * value(random);
            up[k] = down[k] * 1.0001f;
            const int low = lowCodes[k];
            const int high = highCodes[k];
            const float below = down[k] * static_cast<float>(low > 0 ? low - 1 : 0);
            const float above = up[k] * static_cast<float>(high > 0 ? high + 1 : 0);
            const float gap = std::max({below - xHigh[k], xLow[k] - above, 0.0f});
            plain += gap * gap;
        }
        for (const bool wide : {true, false}) {
            const TVectorWidth lanes(wide);
            // The envelope of codes lowCodes..highCodes decoded: each end the product for its extreme code.
            std::vector<float> envelopeLow(width), envelopeHigh(width);
            DecodeEnvelope(lowCodes.data(), highCodes.data(), down.data(), up.data(), width, envelopeLow.data(),
                           envelopeHigh.data());
            for (size_t k = 0; k < width; ++k) {
                EXPECT_EQ(envelopeLow[k], down[k] * static_cast<float>(lowCodes[k] > 0 ? lowCodes[k] - 1 : 0)) << k;
                EXPECT_EQ(envelopeHigh[k], up[k] * static_cast<float>(highCodes[k] > 0 ? highCodes[k] + 1 : 0))
                    << k;
            }
            EXPECT_NEAR(GapSquares(xLow.data(), xHigh.data(), envelopeLow.data(), envelopeHigh.data(), width), plain,
                        1e-5f * plain)
                << width << (wide ? " wide" : " narrow");
            // One frame's codes: the envelope of a code with itself.
            std::vector<float> ownLow(width), ownHigh(width), sameLow(width), sameHigh(width);
            DecodeIntervals(lowCodes.data(), down.data(), up.data(), width, ownLow.data(), ownHigh.data());
            DecodeEnvelope(lowCodes.data(), lowCodes.data(), down.data(), up.data(), width, sameLow.data(),
                           sameHigh.data());
            EXPECT_EQ(ownLow, sameLow) << width;
            EXPECT_EQ(ownHigh, sameHigh) << width;
        }
    }
}

}  // namespace
