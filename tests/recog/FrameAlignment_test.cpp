#include "FrameAlignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "ReferenceArithmetic.h"

namespace {

TFrameSeries Frames(size_t width, const std::vector<double>& values)
{
    return {width, values};
}

// count one-value frames, all 0 but a 1 at position spike.
TFrameSeries Spike(size_t count, size_t spike)
{
    std::vector<double> values(count, 0.0);
    values[spike] = 1.0;
    return Frames(1, values);
}

constexpr double kBand = 0.25;

TEST(FrameAlignment, SameFramesCostNothingEvenWhenStretched)
{
    const TFrameSeries word = Frames(2, {0, 1, 1, 0, 1, 1, 0.5, 0.5, 0, 0});
    const TFrameSeries slower = Frames(2, {0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0.5, 0.5, 0.5, 0.5, 0, 0});
    const TFrameSeries other = Frames(2, {1, 0, 0, 1, 0.5, 0.5, 1, 1, 0, 0});
    EXPECT_EQ(AlignedFrameDistance(word, word, kBand), 0.0);
    EXPECT_EQ(AlignedFrameDistance(word, slower, kBand), 0.0);
    EXPECT_EQ(AlignedFrameDistance(slower, word, kBand), 0.0);
    EXPECT_GT(AlignedFrameDistance(word, other, kBand), 0.1);
}

TEST(FrameAlignment, CellsCostTheRootMeanSquareDifferenceOverBothLengths)
{
    // One cell: sqrt((9 + 16) / 2), over 1 + 1 frames.
    EXPECT_DOUBLE_EQ(AlignedFrameDistance(Frames(2, {0, 0}), Frames(2, {3, 4}), kBand), std::sqrt(12.5) / 2);
    // Three frames against two, 0.5 apart everywhere: the cheapest path has three cells, over five frames.
    EXPECT_DOUBLE_EQ(AlignedFrameDistance(Frames(1, {0, 0, 0}), Frames(1, {0.5, 0.5}), kBand), 1.5 / 5);
}

TEST(FrameAlignment, TheBandLimitsHowFarFramesMayShift)
{
    // Forty frames: the band reaches ten frames either side of the diagonal.
    struct Case {
        size_t spike, otherSpike;
        bool aligned;
    };
    const Case cases[] = {
        {5, 5, true}, {5, 15, true}, {15, 5, true}, {5, 16, false}, {16, 5, false}, {5, 35, false},
    };
    for (const Case& c : cases) {
        const double distance = AlignedFrameDistance(Spike(40, c.spike), Spike(40, c.otherSpike), kBand);
        if (c.aligned)
            EXPECT_EQ(distance, 0.0) << c.spike << " and " << c.otherSpike;
        else
            EXPECT_GT(distance, 0.0) << c.spike << " and " << c.otherSpike;
    }
    // A wider band reaches the spike twenty frames away.
    EXPECT_EQ(AlignedFrameDistance(Spike(40, 5), Spike(40, 25), 0.5), 0.0);
}

TEST(FrameAlignment, VeryUnequalLengthsStillMeetEndToEnd)
{
    // The band follows the slope between the ends and is never narrower than one row's step.
    const double distance = AlignedFrameDistance(Frames(1, {1}), Frames(1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), kBand);
    EXPECT_EQ(distance, 0.0);
    std::vector<double> step(30, 0.0);
    std::fill(step.begin() + 15, step.end(), 1.0);
    EXPECT_EQ(AlignedFrameDistance(Frames(1, {0, 1}), Frames(1, step), kBand), 0.0);
}

TEST(FrameAlignment, FastCellCostsGiveTheReferenceDistanceBitForBit)
{
    // Row bands of every length (whole groups of four frames and the rest), frames of several widths.
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    const auto random = [&](size_t width, size_t count) {
        std::vector<double> values(width * count);
        for (double& value : values)
            value = score(rng);
        return Frames(width, values);
    };
    for (const size_t width : {1, 3, 64}) {
        for (const auto& [n, m] : {std::pair<size_t, size_t>{1, 1}, {5, 7}, {40, 13}, {30, 90}}) {
            const TFrameSeries a = random(width, n);
            const TFrameSeries b = random(width, m);
            const double fast = AlignedFrameDistance(a, b, kBand);
            double reference;
            {
                const TReferenceArithmetic plain;
                reference = AlignedFrameDistance(a, b, kBand);
            }
            EXPECT_EQ(std::memcmp(&fast, &reference, sizeof(double)), 0) << width << " wide, " << n << " by " << m;
        }
    }
}

TEST(FrameAlignment, GivingUpNeverChangesADistanceAtOrBelowTheLimit)
{
    // A distance is either the full one or, only when that is above the limit, infinity; at or above the
    // full distance the limit changes nothing. Limits just below the distance are where a wrong bound shows.
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> score(0.0, 1.0);
    const double infinity = std::numeric_limits<double>::infinity();
    int givenUp = 0;
    for (int pair = 0; pair < 40; ++pair) {
        const size_t width = pair % 2 == 0 ? 3 : 64;
        std::vector<double> a(width * (5 + pair % 37)), b(width * (8 + pair % 23));
        for (double& value : a)
            value = score(rng);
        for (double& value : b)
            value = score(rng) * (pair % 3 == 0 ? 0.1 : 1.0);
        const TFrameSeries x = Frames(width, a), y = Frames(width, b);
        const double full = AlignedFrameDistance(x, y, kBand);
        for (const double limit : {0.0, full / 4, full / 2, std::nextafter(full, 0.0), full, 2 * full, infinity}) {
            const double limited = AlignedFrameDistance(x, y, kBand, limit);
            if (limit >= full) {
                EXPECT_EQ(std::memcmp(&limited, &full, sizeof(double)), 0) << pair << " at " << limit;
            } else {
                EXPECT_TRUE(limited == full || limited == infinity) << pair << " at " << limit;
                givenUp += limited == infinity ? 1 : 0;
            }
        }
    }
    EXPECT_GT(givenUp, 40);   // the limit does cut alignments short
}

TEST(FrameAlignment, NothingToAlignIsInfinitelyFar)
{
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(AlignedFrameDistance(Frames(1, {}), Frames(1, {1}), kBand), infinity);
    EXPECT_EQ(AlignedFrameDistance(Frames(1, {1, 2}), Frames(2, {1, 2}), kBand), infinity);
    EXPECT_EQ(AlignedFrameDistance(Frames(0, {}), Frames(0, {}), kBand), infinity);
}

}  // namespace
