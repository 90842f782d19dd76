// The one-pass column sums of codes beside the utterance's integer scores are exact at either vector width,
// for every column, tails, odd row counts and strides included.
#include "CompactCrossSums.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "VectorWidth.h"

namespace {

TEST(CompactCrossSums, EverySumExactAtEitherWidth)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> code(0, 255);
    std::uniform_int_distribution<int> score(-32767, 32767);
    // Widths around sixteen, runs shorter and longer than a block and odd, rows wider than the columns read.
    const struct {
        size_t width, count, spare;
    } cases[] = {{1, 5, 0}, {7, 33, 2}, {15, 64, 0}, {16, 1, 1}, {16, 31, 0}, {17, 100, 3}, {64, 430, 0}, {70, 257, 5}};
    for (const auto& c : cases) {
        const size_t codeStride = c.width + c.spare;
        const size_t pairStride = 2 * (c.width + c.spare);
        std::vector<uint8_t> codes(c.count * codeStride);
        for (size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<uint8_t>(i % 7 == 0 ? 0 : i % 11 == 0 ? 255 : code(rng));
        // Extreme scores beside the largest codes too; row i's pairs end with row i + 1's score.
        std::vector<int16_t> scores(c.count * (c.width + c.spare));
        for (size_t i = 0; i < scores.size(); ++i)
            scores[i] = static_cast<int16_t>(i % 13 == 0 ? 32767 : i % 17 == 0 ? -32767 : score(rng));
        std::vector<int16_t> pairs(c.count * pairStride, 0);
        for (size_t i = 0; i < c.count; ++i) {
            for (size_t j = 0; j < c.width + c.spare; ++j) {
                pairs[i * pairStride + 2 * j] = scores[i * (c.width + c.spare) + j];
                if (i + 1 < c.count)
                    pairs[i * pairStride + 2 * j + 1] = scores[(i + 1) * (c.width + c.spare) + j];
            }
        }
        for (const bool wide : {true, false}) {
            const TVectorWidth vectors(wide);
            const std::vector<TCompactColumnSums> sums =
                SumCompactColumns({codes.data(), codeStride, pairs.data(), pairStride, c.width, c.count});
            ASSERT_EQ(sums.size(), c.width);
            for (size_t column = 0; column < c.width; ++column) {
                TCompactColumnSums expected;
                for (size_t i = 0; i < c.count; ++i) {
                    const int32_t value = codes[i * codeStride + column];
                    expected.Cross += static_cast<int64_t>(value) * scores[i * (c.width + c.spare) + column];
                    expected.Codes += value;
                    expected.Squares += value * value;
                    expected.Nonzero += value != 0 ? 1 : 0;
                }
                const std::string where = std::to_string(c.width) + " wide, " + std::to_string(c.count) +
                                          " rows, column " + std::to_string(column) +
                                          (wide ? ", wide vectors" : ", narrow vectors");
                EXPECT_EQ(sums[column].Cross, expected.Cross) << where;
                EXPECT_EQ(sums[column].Codes, expected.Codes) << where;
                EXPECT_EQ(sums[column].Squares, expected.Squares) << where;
                EXPECT_EQ(sums[column].Nonzero, expected.Nonzero) << where;
            }
        }
    }
}

}  // namespace
