// The quick threshold test decides every comparison as the division does, ties and near ties included.
#include "LevelThreshold.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(LevelThreshold, DecidesAsTheQuotientDoes)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.05, 1.0);
    int32_t ties = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const int level = 1 + trial % 10;
        const double product = level * unit(rng);
        const double quotient = product / 11.0;
        // Values on the quotient and a few steps either side of it, and a random one.
        double value = quotient;
        for (int step = 0; step < 3; ++step)
            value = std::nextafter(value, 0.0);
        for (int step = 0; step < 7; ++step, value = std::nextafter(value, 2.0)) {
            ASSERT_EQ(AboveLevel(value, product, 11.0, true), value > quotient) << value << " " << product;
            ties += value == quotient ? 1 : 0;
        }
        const double other = unit(rng);
        ASSERT_EQ(AboveLevel(other, product, 11.0, true), other > quotient) << other << " " << product;
    }
    EXPECT_EQ(ties, 20000);
    // A zero product, and one whose quotient is too small for the relative bound.
    EXPECT_TRUE(AboveLevel(0.05, 0.0, 11.0, true));
    EXPECT_TRUE(AboveLevel(0.05, 1e-320, 11.0, true));
}

}  // namespace
