// Root mean square differences of frames side by side in lanes equal, bit for bit, those of each frame alone,
// for every run of frames (whole lane groups or not) and both vector widths.
#include "RmsDifferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ArithmeticPath.h"

namespace {

double PlainRms(const double* x, const double* y, size_t width)
{
    double sum = 0.0;
    for (size_t k = 0; k < width; ++k) {
        const double difference = x[k] - y[k];
        sum += difference * difference;
    }
    return std::sqrt(sum / static_cast<double>(width));
}

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
                    AllowWideVectors(wide);
                    RmsDifferences(x.data(), turned.data(), count, width, low, high, costs.data());
                    AllowWideVectors(true);
                    for (size_t j = 0; j < count; ++j) {
                        const double expected = j >= low && j <= high ? PlainRms(x.data(), &frames[j * width], width) : -1.0;
                        ASSERT_EQ(std::memcmp(&costs[j], &expected, sizeof(double)), 0)
                            << width << " wide, frames " << low << ".." << high << ", frame " << j << (wide ? "" : ", pairs");
                    }
                }
            }
        }
    }
}

}  // namespace
