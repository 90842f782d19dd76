#include "PercentText.h"

#include <gtest/gtest.h>

TEST(PercentText, RoundsTenthsHalfToEvenInShortestForm)
{
    const struct { double value; const char* text; } cases[] = {
        {0.873, "87.3%"}, {0.5, "50%"}, {0.0625, "6.2%"}, {0.1875, "18.8%"},
        {-1.0, "-100%"}, {0.0, "0%"}, {0.98399555710454101, "98.4%"}, {1.0, "100%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercentText(c.value), c.text) << c.value;
    EXPECT_EQ(PercentText(0.873, ','), "87,3%");
}
