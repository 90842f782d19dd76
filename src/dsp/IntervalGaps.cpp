#include "IntervalGaps.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "WideVectors.h"

namespace {

float GapSquare(float xLow, float xHigh, uint8_t lowCode, uint8_t highCode, float stepDown, float stepUp)
{
    const float below = static_cast<float>(lowCode > 0 ? lowCode - 1 : 0);
    const float above = static_cast<float>(highCode > 0 ? highCode + 1 : 0);
    const float gap = std::max({stepDown * below - xHigh, xLow - stepUp * above, 0.0f});
    return gap * gap;
}

float NarrowGapSquares(const float* xLow, const float* xHigh, const uint8_t* lowCodes, const uint8_t* highCodes,
                       const float* stepDown, const float* stepUp, size_t width)
{
    float sum = 0.0f;
    for (size_t k = 0; k < width; ++k)
        sum += GapSquare(xLow[k], xHigh[k], lowCodes[k], highCodes[k], stepDown[k], stepUp[k]);
    return sum;
}

// Eight codes widened to 32-bit integers.
PARLANTO_WIDE_TARGET inline __m256i EightCodes(const uint8_t* codes)
{
    int64_t packed;
    std::memcpy(&packed, codes, sizeof packed);
    return _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(packed));
}

PARLANTO_WIDE_TARGET float WideGapSquares(const float* xLow, const float* xHigh, const uint8_t* lowCodes,
                                          const uint8_t* highCodes, const float* stepDown, const float* stepUp,
                                          size_t width)
{
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i zero = _mm256_setzero_si256();
    __m256 sums = _mm256_setzero_ps();
    size_t k = 0;
    for (; k + 8 <= width; k += 8) {
        const __m256i low = EightCodes(lowCodes + k);
        const __m256i high = EightCodes(highCodes + k);
        const __m256 below = _mm256_cvtepi32_ps(_mm256_max_epi32(_mm256_sub_epi32(low, one), zero));
        const __m256 above = _mm256_cvtepi32_ps(_mm256_add_epi32(high, _mm256_min_epi32(high, one)));
        const __m256 over = _mm256_sub_ps(_mm256_mul_ps(_mm256_loadu_ps(stepDown + k), below),
                                          _mm256_loadu_ps(xHigh + k));
        const __m256 under = _mm256_sub_ps(_mm256_loadu_ps(xLow + k),
                                           _mm256_mul_ps(_mm256_loadu_ps(stepUp + k), above));
        const __m256 gap = _mm256_max_ps(_mm256_max_ps(over, under), _mm256_setzero_ps());
        sums = _mm256_add_ps(sums, _mm256_mul_ps(gap, gap));
    }
    float lanes[8];
    _mm256_storeu_ps(lanes, sums);
    float sum = 0.0f;
    for (const float lane : lanes)
        sum += lane;
    return sum + NarrowGapSquares(xLow + k, xHigh + k, lowCodes + k, highCodes + k, stepDown + k, stepUp + k,
                                  width - k);
}

}  // namespace

float CodedGapSquares(const float* xLow, const float* xHigh, const uint8_t* lowCodes, const uint8_t* highCodes,
                      const float* stepDown, const float* stepUp, size_t width)
{
    return ByVectorWidth(WideGapSquares, NarrowGapSquares, xLow, xHigh, lowCodes, highCodes, stepDown, stepUp,
                         width);
}
