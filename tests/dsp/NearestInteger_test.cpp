#include "NearestInteger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(NearestInteger, RoundsAsNearbyintWithTiesToEven)
{
    const double cases[] = {0.0, 0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.49999999999999994, 127.5, 128.5, -32768.5,
                            32767.4999, 255.0 * 0.5, 1e15 + 0.5, 0x1p51 - 0.5, -(0x1p51 - 0.5), 3.0};
    for (const double x : cases)
        EXPECT_EQ(NearestInteger(x), std::nearbyint(x)) << x;
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> value(-70000.0, 70000.0);
    for (int i = 0; i < 100000; ++i) {
        const double x = value(rng);
        ASSERT_EQ(NearestInteger(x), std::nearbyint(x)) << x;
    }
}

}  // namespace
