// Windowing rounds each product to the nearest sample, ties to even, the same four at a time as one at a time.
#include "FrameWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "VectorWidth.h"

namespace {

TEST(FrameWindow, RoundsEveryProductToTheNearestSampleTiesToEven)
{
    // Halves (ties both ways), extremes and random products; an odd count leaves a tail for the vector loops.
    std::vector<int16_t> samples = {1, 3, 5, -1, -3, 32767, -32768, -32768, 7, 0, 101};
    std::vector<double> window = {0.5, 0.5, 0.5, 0.5, 0.5, 1.0, 1.0, 0.5, 0.0, 0.25, 0.995};
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::uniform_real_distribution<double> weight(0.0, 1.0);
    for (int i = 0; i < 1021; ++i) {
        samples.push_back(static_cast<int16_t>(sample(rng)));
        window.push_back(weight(rng));
    }
    std::vector<int16_t> expected(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        expected[i] = static_cast<int16_t>(std::nearbyint(samples[i] * window[i]));
    for (const bool wide : {true, false}) {
        const TVectorWidth width(wide);
        std::vector<int16_t> windowed = samples;
        ApplyWindow(windowed.data(), window.data(), static_cast<int32_t>(windowed.size()));
        EXPECT_EQ(windowed, expected) << (wide ? "four at a time" : "two at a time");
    }
}

}  // namespace
