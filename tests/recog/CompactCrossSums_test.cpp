// The one-pass column sums of codes beside scores: the integer sums exact, the cross sums within the rounding
// the header states, for every column at either vector width, tails and strides included.
#include "CompactCrossSums.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "VectorWidth.h"

namespace {

TEST(CompactCrossSums, IntegerSumsExactAndCrossSumsWithinTheirRounding)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> code(0, 255);
    std::uniform_real_distribution<float> score(-1.0f, 1.0f);
    // Widths around the vector widths, runs shorter and longer than a block, rows wider than the columns read.
    const struct {
        size_t width, count, spare;
    } cases[] = {{1, 5, 0}, {3, 33, 2}, {4, 64, 0}, {7, 1, 1}, {8, 31, 0}, {9, 100, 3}, {16, 65, 0}, {19, 430, 5}};
    for (const auto& c : cases) {
        const size_t codeStride = c.width + c.spare;
        const size_t scoreStride = c.width + 2 * c.spare;
        std::vector<uint8_t> codes(c.count * codeStride);
        for (size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<uint8_t>(i % 7 == 0 ? 0 : i % 11 == 0 ? 255 : code(rng));
        std::vector<float> scores(c.count * scoreStride);
        for (float& value : scores)
            value = score(rng);
        for (const bool wide : {true, false}) {
            const TVectorWidth vectors(wide);
            const std::vector<TCompactColumnSums> sums =
                SumCompactColumns({codes.data(), codeStride, scores.data(), scoreStride, c.width, c.count});
            ASSERT_EQ(sums.size(), c.width);
            for (size_t column = 0; column < c.width; ++column) {
                int32_t total = 0, squares = 0, nonzero = 0;
                double cross = 0.0, absolute = 0.0;
                for (size_t i = 0; i < c.count; ++i) {
                    const int32_t value = codes[i * codeStride + column];
                    const double product = static_cast<double>(scores[i * scoreStride + column]) * value;
                    total += value;
                    squares += value * value;
                    nonzero += value != 0 ? 1 : 0;
                    cross += product;
                    absolute += std::abs(product);
                }
                const std::string where = std::to_string(c.width) + " wide, column " + std::to_string(column) +
                                          (wide ? ", wide vectors" : ", narrow vectors");
                EXPECT_EQ(sums[column].Codes, total) << where;
                EXPECT_EQ(sums[column].Squares, squares) << where;
                EXPECT_EQ(sums[column].Nonzero, nonzero) << where;
                EXPECT_LE(std::abs(sums[column].Cross - cross), (kCrossBlockRows + 1) * 0x1p-24 * absolute) << where;
            }
        }
    }
}

}  // namespace
