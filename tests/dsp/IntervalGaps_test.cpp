// The gaps between intervals and coded values: what a code stands for, envelopes of two frames, decoded ends,
// and the same sums at both widths up to the order of the additions.
#include "IntervalGaps.h"

#include <gtest/gtest.h>

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
    return std::sqrt(CodedGapSquares(FrameEnvelope(&low, &high), FrameEnvelope(&code, &code), &step, &step, 1));
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

TEST(IntervalGaps, EnvelopesOfTwoFramesAndBothWidthsAgree)
{
    // Widths around the eight lanes; random intervals against random code envelopes with random steps. The
    // plain sum (value by value) against the parts' envelope taken first.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(0.0f, 3.0f);
    std::uniform_int_distribution<int> code(0, 255);
    for (const size_t width : {1, 7, 8, 9, 16, 61, 64}) {
        std::vector<float> xLowA(width), xLowB(width), xHighA(width), xHighB(width), down(width), up(width);
        std::vector<uint8_t> lowA(width), lowB(width), highA(width), highB(width);
        float plain = 0.0f;
        for (size_t k = 0; k < width; ++k) {
            xLowA[k] = value(random);
            xLowB[k] = value(random);
            xHighA[k] = xLowA[k] + value(random) * 0.1f;
            xHighB[k] = xLowB[k] + value(random) * 0.1f;
            lowA[k] = static_cast<uint8_t>(code(random) / 2);
            lowB[k] = static_cast<uint8_t>(code(random) / 2);
            highA[k] = static_cast<uint8_t>(lowA[k] + code(random) / 4);
            highB[k] = static_cast<uint8_t>(lowB[k] + code(random) / 4);
            down[k] = 0.01f * value(random);
            up[k] = down[k] * 1.0001f;
            const float xLow = std::min(xLowA[k], xLowB[k]);
            const float xHigh = std::max(xHighA[k], xHighB[k]);
            const int low = std::min(lowA[k], lowB[k]);
            const int high = std::max(highA[k], highB[k]);
            const float below = down[k] * static_cast<float>(low > 0 ? low - 1 : 0);
            const float above = up[k] * static_cast<float>(high > 0 ? high + 1 : 0);
            const float gap = std::max({below - xHigh, xLow - above, 0.0f});
            plain += gap * gap;
        }
        const TEnvelopeParts<float> x{xLowA.data(), xLowB.data(), xHighA.data(), xHighB.data()};
        const TEnvelopeParts<uint8_t> codes{lowA.data(), lowB.data(), highA.data(), highB.data()};
        // One frame's codes decoded once give the sum the codes give.
        std::vector<float> lowEnds(width), highEnds(width);
        DecodeIntervals(lowA.data(), down.data(), up.data(), width, lowEnds.data(), highEnds.data());
        for (const bool wide : {true, false}) {
            const TVectorWidth lanes(wide);
            EXPECT_NEAR(CodedGapSquares(x, codes, down.data(), up.data(), width), plain, 1e-5f * plain)
                << width << (wide ? " wide" : " narrow");
            EXPECT_EQ(GapSquares(xLowA.data(), xHighA.data(), lowEnds.data(), highEnds.data(), width),
                      CodedGapSquares(FrameEnvelope(xLowA.data(), xHighA.data()),
                                      FrameEnvelope(lowA.data(), lowA.data()), down.data(), up.data(), width))
                << width << (wide ? " wide" : " narrow");
            // The envelope of codes lowA..highA decoded: each end the product for its extreme code, and the
            // sum the codes give.
            std::vector<float> envelopeLow(width), envelopeHigh(width);
            DecodeEnvelope(lowA.data(), highA.data(), down.data(), up.data(), width, envelopeLow.data(),
                           envelopeHigh.data());
            for (size_t k = 0; k < width; ++k) {
                EXPECT_EQ(envelopeLow[k], down[k] * static_cast<float>(lowA[k] > 0 ? lowA[k] - 1 : 0)) << k;
                EXPECT_EQ(envelopeHigh[k], up[k] * static_cast<float>(highA[k] > 0 ? highA[k] + 1 : 0)) << k;
            }
            EXPECT_EQ(GapSquares(xLowA.data(), xHighA.data(), envelopeLow.data(), envelopeHigh.data(), width),
                      CodedGapSquares(FrameEnvelope(xLowA.data(), xHighA.data()),
                                      TEnvelopeParts<uint8_t>{lowA.data(), lowA.data(), highA.data(), highA.data()},
                                      down.data(), up.data(), width))
                << width << (wide ? " wide" : " narrow");
        }
    }
}

}  // namespace
