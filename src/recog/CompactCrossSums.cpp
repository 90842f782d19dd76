#include "CompactCrossSums.h"

#include <immintrin.h>

#include <algorithm>

#include "WideVectors.h"

namespace {

// Rows added up in 32 bits before they join the column's 64-bit sum: 32 rows of products of at most
// 32767·255 stay far inside 2^31, and their zero counts inside a byte.
constexpr size_t kBlockRows = 32;

// Columns from first on, one by one.
void SumColumnsPlainly(const TCodeAndScoreRows& rows, size_t first, std::vector<TCompactColumnSums>& sums)
{
    for (size_t column = first; column < rows.Width; ++column) {
        TCompactColumnSums& sum = sums[column];
        for (size_t i = 0; i < rows.Count; ++i) {
            const int32_t code = rows.Codes[i * rows.CodeStride + column];
            sum.Cross += static_cast<int64_t>(code) * rows.Pairs[i * rows.PairStride + 2 * column];
            sum.Codes += code;
            sum.Squares += code * code;
            sum.Nonzero += code != 0 ? 1 : 0;
        }
    }
}

// Sixteen columns at a time, two rows a step: the codes of the two rows interleaved and widened to 16 bits, so
// that one multiply-add of 16-bit pairs gives each column's two products together, and another with ones or
// with themselves its two codes or their squares. The columns left over go the plain way.
PARLANTO_WIDE_TARGET void SumColumnsSixteenAtATime(const TCodeAndScoreRows& rows,
                                                   std::vector<TCompactColumnSums>& sums)
{
    const __m256i ones = _mm256_set1_epi16(1);
    const __m128i noCodes = _mm_setzero_si128();
    size_t column = 0;
    for (; column + 16 <= rows.Width; column += 16) {
        __m256i total[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
        __m256i squares[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
        int64_t cross[16] = {};
        int32_t zeros[16] = {};
        for (size_t first = 0; first < rows.Count; first += kBlockRows) {
            const size_t end = std::min(rows.Count, first + kBlockRows);
            __m256i block[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
            __m128i blockZeros = _mm_setzero_si128();
            for (size_t i = first; i < end; i += 2) {
                const uint8_t* at = rows.Codes + i * rows.CodeStride + column;
                const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
                // A last row alone meets codes of 0, which add nothing and are not counted.
                const bool pair = i + 1 < end;
                const __m128i next =
                    pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + rows.CodeStride)) : noCodes;
                blockZeros = _mm_sub_epi8(blockZeros, _mm_cmpeq_epi8(row, noCodes));
                if (pair)
                    blockZeros = _mm_sub_epi8(blockZeros, _mm_cmpeq_epi8(next, noCodes));
                const __m256i codes[2] = {_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(row, next)),
                                          _mm256_cvtepu8_epi16(_mm_unpackhi_epi8(row, next))};
                const auto* scores = reinterpret_cast<const __m256i*>(rows.Pairs + i * rows.PairStride + 2 * column);
                for (int half = 0; half < 2; ++half) {
                    block[half] = _mm256_add_epi32(block[half],
                                                   _mm256_madd_epi16(codes[half], _mm256_loadu_si256(scores + half)));
                    total[half] = _mm256_add_epi32(total[half], _mm256_madd_epi16(codes[half], ones));
                    squares[half] = _mm256_add_epi32(squares[half], _mm256_madd_epi16(codes[half], codes[half]));
                }
            }
            int32_t products[16];
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(products), block[0]);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(products + 8), block[1]);
            uint8_t counted[16];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(counted), blockZeros);
            for (size_t lane = 0; lane < 16; ++lane) {
                cross[lane] += products[lane];
                zeros[lane] += counted[lane];
            }
        }
        int32_t codeSums[16], squareSums[16];
        for (int half = 0; half < 2; ++half) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(codeSums + 8 * half), total[half]);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(squareSums + 8 * half), squares[half]);
        }
        for (size_t lane = 0; lane < 16; ++lane) {
            sums[column + lane] = {cross[lane], codeSums[lane], squareSums[lane],
                                   static_cast<int32_t>(rows.Count) - zeros[lane]};
        }
    }
    SumColumnsPlainly(rows, column, sums);
}

void SumEveryColumnPlainly(const TCodeAndScoreRows& rows, std::vector<TCompactColumnSums>& sums)
{
    SumColumnsPlainly(rows, 0, sums);
}

}  // namespace

std::vector<TCompactColumnSums> SumCompactColumns(const TCodeAndScoreRows& rows)
{
    std::vector<TCompactColumnSums> sums(rows.Width);
    ByVectorWidth(SumColumnsSixteenAtATime, SumEveryColumnPlainly, rows, sums);
    return sums;
}
