// Peak levels, bin by bin and four bins a step, against their definition: the highest level whose threshold
// level * envelope / 11 the value exceeds.
#include "PeakLevels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "VectorWidth.h"

namespace {

int32_t DefinedLevel(double value, double envelope)
{
    int32_t level = 0;
    for (int32_t l = 1; l <= kFirstLevel; ++l)
        level = value > l * envelope / kLevelDivisor ? l : level;
    return level;
}

// Values on a threshold and a step either side of it, zeros, envelopes of zero, values above the top level and
// random pairs, in an order that mixes them within every four.
void MakeBins(std::vector<double>& values, std::vector<double>& envelope)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 4000; ++trial) {
        const double e = trial % 97 == 0 ? 0.0 : unit(rng);
        const int32_t level = trial % (kFirstLevel + 2);
        const double tie = level * e / kLevelDivisor;
        for (const double value : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 2.0), 0.0, unit(rng), 2 * e + 1}) {
            values.push_back(value);
            envelope.push_back(e);
        }
    }
}

TEST(PeakLevels, AgreeWithTheDefinitionOnTiesZerosAndTheTopLevel)
{
    std::vector<double> values, envelope;
    MakeBins(values, envelope);
    const auto count = static_cast<int32_t>(values.size());
    for (const bool quick : {true, false}) {
        for (int32_t k = 0; k < count; ++k)
            ASSERT_EQ(PeakLevel(values[k], envelope[k], quick), DefinedLevel(values[k], envelope[k]))
                << values[k] << " over " << envelope[k];
    }
    // Odd bounds, so that the four-at-a-time steps start off the first bin and leave a few bins over.
    for (const auto& [quick, wide] : {std::pair{true, true}, std::pair{true, false}, std::pair{false, false}}) {
        std::vector<int32_t> levels(values.size(), -1);
        const TVectorWidth width(wide);
        PeakLevels(values.data(), envelope.data(), 3, count - 2, levels.data(), quick);
        for (int32_t k = 3; k < count - 2; ++k)
            ASSERT_EQ(levels[k], DefinedLevel(values[k], envelope[k])) << values[k] << " over " << envelope[k];
        EXPECT_EQ(levels[2], -1);
        EXPECT_EQ(levels[count - 2], -1);
    }
}

}  // namespace
