// Root mean square differences of frames side by side in lanes equal, bit for bit, each frame's alone,
// for every run of frames (whole lane groups or not) and both vector widths.
#include "RmsDifferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "VectorWidth.h"

namespace {

TEST(RmsDifferences, EqualEachFrameAloneBitForBit)
{
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    for (const size_t width : {1, 5, 64}) {
        const size_t count = 23;
        std::vector<double> frames(count * width), x(width);
        for (double& v : frames)
            v = value(rng);
        for (double& v : x)
            v = value(rng);
        const std::vector<double> turned = TurnFrames(frames, count, width);
        for (const bool wide : {true, false}) {
            for (size_t low = 0; low < count; low += 3) {
                for (size_t high = low; high < count; high += 2) {
                    std::vector<double> costs(count, -1.0);
                    {
                        const TVectorWidth lanes(wide);
                        RmsDifferences(x.data(), turned.data(), count, width, low, high, costs.data());
                    }
                    for (size_t j = 0; j < count; ++j) {
                        const double expected = j >= low && j <= high ? RmsDifference(x.data(), &frames[j * width], width) : -1.0;
                        ASSERT_EQ(std::memcmp(&costs[j], &expected, sizeof(double)), 0)
                            << width << " wide, frames " << low << ".." << high << ", frame " << j << (wide ? "" : ", pairs");
                    }
                }
            }
        }
    }
}

}  // namespace
