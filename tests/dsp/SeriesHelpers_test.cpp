#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "SeriesHelpers.h"
#include "VectorWidth.h"

namespace {

TEST(SortDoubles, SortsAscendingInPlace)
{
    struct Case { TArrayOfDouble values, sorted; };
    const Case cases[] = {
        {{}, {}},
        {{5.0}, {5.0}},
        {{3.0, 1.0, 2.0}, {1.0, 2.0, 3.0}},
        {{2.0, -1.5, 2.0, 0.0, -7.0}, {-7.0, -1.5, 0.0, 2.0, 2.0}},
    };
    for (Case c : cases) {
        SortDoubles(c.values);
        EXPECT_EQ(c.values, c.sorted);
    }
}

TEST(SortDoubles, LeavesBothZerosWhereTheSelectionSortPutsThem)
{
    // The smallest is swapped to the front: -0 ends up before +0 here, though the input had +0 first.
    TArrayOfDouble values = {0.0, -0.0, -1.0};
    SortDoubles(values);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0], -1.0);
    EXPECT_TRUE(std::signbit(values[1]));
    EXPECT_FALSE(std::signbit(values[2]));
    TArrayOfDouble kept = {-0.0, 0.0};
    SortDoubles(kept);
    EXPECT_TRUE(std::signbit(kept[0]));
    EXPECT_FALSE(std::signbit(kept[1]));
}

std::vector<uint64_t> Bits(const TArrayOfDouble& values)
{
    std::vector<uint64_t> bits;
    for (const double value : values)
        bits.push_back(std::bit_cast<uint64_t>(value));
    return bits;
}

TEST(SortDoubles, GivesTheSelectionSortsArrayToTheBit)
{
    // Values drawn from a small set, so that ties are many: neighbours one ulp apart, infinities, a subnormal,
    // one zero or the other; lengths about the 64 up to which short arrays take another way.
    const double inf = std::numeric_limits<double>::infinity();
    const double third = 1.0 / 3;
    const std::vector<std::vector<double>> pools = {
        {third, std::nextafter(third, 0.0), std::nextafter(third, 1.0), -third, 21.533203125, 43.06640625},
        {-inf, inf, 5e-324, -5e-324, 1.0, std::nextafter(1.0, 2.0), 0.0},
        {-0.0, -1.0, 7.0, 7.0, std::nextafter(7.0, 0.0)},
    };
    std::mt19937 random(7);
    for (const auto& pool : pools) {
        for (const size_t length : {2u, 3u, 27u, 44u, 63u, 64u, 65u, 130u}) {
            TArrayOfDouble values(length);
            for (double& value : values)
                value = pool[random() % pool.size()];
            TArrayOfDouble selected = values;
            for (size_t i = 0; i < selected.size(); ++i)
                std::swap(selected[i], *std::min_element(selected.begin() + i, selected.end()));
            for (const bool wide : {true, false}) {
                const TVectorWidth width(wide);
                TArrayOfDouble sorted = values;
                SortDoubles(sorted);
                ASSERT_EQ(Bits(sorted), Bits(selected)) << length << " values, wide " << wide;
            }
        }
    }
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    return Correlate(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()));
}

TEST(Correlate, ShorterSeriesLiesCentredInTheLonger)
{
    // Each longer series equals the shorter one only at the centred offset; anywhere else the pairing is poor.
    struct Case { std::vector<double> longer, shorter; };
    const Case cases[] = {
        {{9, -9, 1, 4, 2, 8, 5, 7, -9, 9}, {1, 4, 2, 8, 5, 7}},   // offset 2
        {{100, 1, 2, 3, -50}, {1, 2, 3}},                          // offset 1
        {{100, 1, 2, 3, -50, 0}, {1, 2, 3}},                       // offset (6 - 3) div 2 = 1
        {{1, 5, 2}, {1, 5, 2}},                                    // equal lengths
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(Correlation(c.longer, c.shorter), 1.0, 1e-12);
        EXPECT_NEAR(Correlation(c.shorter, c.longer), 1.0, 1e-12);
    }
}

TEST(Correlate, MatchesThePearsonCoefficient)
{
    EXPECT_NEAR(Correlation({1, 2, 3}, {1, 2, 4}), 0.98198050606196574, 1e-15);
    EXPECT_NEAR(Correlation({1, 2, 3, 4}, {8, 6, 4, 2}), -1.0, 1e-15);
}

TEST(Correlate, NoVarianceOrNoOverlapGivesZero)
{
    EXPECT_EQ(Correlation({1, 2, 3, 4}, {5}), 0.0);
    EXPECT_EQ(Correlation({}, {1, 2, 3}), 0.0);
    EXPECT_EQ(Correlation({1, 2, 3}, {}), 0.0);
    EXPECT_EQ(Correlation({4, 4, 4}, {1, 2, 3}), 0.0);
}

TEST(MeanAbsDiff64, SumsTheStepsOfOneHopOverSixtyFour)
{
    struct Case { int16_t even, odd; double expected; };
    const Case cases[] = {{0, 100, 98.4375}, {7, 7, 0.0}, {-32768, 32767, 63 * 65535 / 64.0}};
    for (const Case& c : cases) {
        int16_t hop[64];
        for (int i = 0; i < 64; ++i)
            hop[i] = i % 2 == 0 ? c.even : c.odd;
        EXPECT_EQ(MeanAbsDiff64(hop), c.expected);
    }
}

TEST(LargestOf, FindsTheLargestWithOrWithoutLanes)
{
    // The largest anywhere in runs of every length from several starts, and 0 for an empty or all-zero run.
    std::vector<double> values(23);
    for (size_t peak = 0; peak < values.size(); ++peak) {
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = i == peak ? 7.5 : 0.25 * static_cast<double>(i % 5);
        for (int32_t from = 0; from < 4; ++from) {
            for (int32_t to = from; to <= static_cast<int32_t>(values.size()); ++to) {
                double expected = 0.0;
                for (int32_t i = from; i < to; ++i)
                    expected = std::max(expected, values[i]);
                EXPECT_EQ(LargestOf(values.data(), from, to, true), expected) << peak << " " << from << " " << to;
                EXPECT_EQ(LargestOf(values.data(), from, to, false), expected) << peak << " " << from << " " << to;
            }
        }
    }
    EXPECT_EQ(LargestOf(std::vector<double>(9, 0.0).data(), 0, 9, true), 0.0);
}

}  // namespace
