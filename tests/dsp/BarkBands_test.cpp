#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <numbers>
#include <numeric>

#include "BarkBands.h"

namespace {

TEST(BarkScale, ConversionsAtTheBottomOfTheScale)
{
    EXPECT_EQ(HzToBark(-5.0), 0.0);
    EXPECT_EQ(HzToBark(0.0), 0.0);
    EXPECT_EQ(BarkToHz(0.0), 0.0);
    EXPECT_EQ(BarkToHz(-1.0), 0.0);
    EXPECT_EQ(BinToHz(10), 215.33203125);
}

TEST(BarkScale, SearchInvertsTheScale)
{
    // 3000 Hz and 20000 Hz are met exactly by the search's first, whole-kilohertz steps.
    for (const double hz : {15.0, 440.0, 1659.0, 3000.0, 6246.0, 20000.0})
        EXPECT_NEAR(BarkToHz(HzToBark(hz)), hz, 0.01) << hz;
}

TEST(BarkScale, BandEdges)
{
    struct Case { int32_t band; double hz; };
    const Case cases[] = {{0, 0.0}, {1, 15.81}, {76, 1659.11}, {127, 6246.18}};
    for (const Case& c : cases)
        EXPECT_NEAR(BandEdgeHz(c.band), c.hz, 0.01) << c.band;
}

TEST(BarkScale, NoFrequencyReachesTheTopOfTheScale)
{
    // The Bark value only approaches 13 pi/2 + 3.5 pi/2; a search for it or beyond would never end.
    const double top = 8.25 * std::numbers::pi;
    EXPECT_TRUE(std::isinf(BarkToHz(top)));
    EXPECT_TRUE(std::isinf(BarkToHz(30.0)));
    EXPECT_NEAR(HzToBark(BarkToHz(25.0)), 25.0, 1e-7);
}

TEST(BandLayout, SingleBinsUpToBand75ThenWideningBands)
{
    const int16_t upper[] = {2, 1, 2, 2, 2, 2, 2, 2, 3, 2, 2, 3, 2, 3, 3, 2, 3, 3, 3, 3, 3, 4, 3, 4, 3, 4,
                             4, 4, 4, 5, 4, 4, 5, 5, 5, 5, 5, 6, 5, 6, 6, 6, 6, 6, 6, 7, 7, 6, 7, 8, 7, 8};
    static_assert(std::size(upper) == kBandCount - 76);
    const int16_t* bins = BandBins();
    for (int band = 0; band < 76; ++band)
        EXPECT_EQ(bins[band], 1) << band;
    for (int band = 76; band < kBandCount; ++band)
        EXPECT_EQ(bins[band], upper[band - 76]) << band;
    EXPECT_EQ(std::accumulate(bins, bins + kBandCount, 0), 291);
    for (int band = 0; band < kBandCount; ++band)
        EXPECT_EQ(BandGains()[band], 1.0) << band;
}

}  // namespace
