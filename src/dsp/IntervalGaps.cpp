#include "IntervalGaps.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "WideVectors.h"

namespace {

// Decoded intervals, values first..width-1 one by one; inlined, so that inside the AVX2 function no call leaves
// its vectors' upper halves in use for plain code.
PARLANTO_LANES_INLINE float NarrowDecodedGapSquares(const float* xLow, const float* xHigh, const float* low,
                                                    const float* high, size_t first, size_t width)
{
    float sum = 0.0f;
    for (size_t k = first; k < width; ++k) {
        const float gap = std::max({low[k] - xHigh[k], xLow[k] - high[k], 0.0f});
        sum += gap * gap;
    }
    return sum;
}

// Eight codes in the low half of a vector.
PARLANTO_WIDE_TARGET inline __m128i EightCodes(const uint8_t* codes)
{
    int64_t packed;
    std::memcpy(&packed, codes, sizeof packed);
    return _mm_cvtsi64_si128(packed);
}

// The multiples of the step at the low ends of eight codes' intervals (code - 1, 0 for 0) and at the high ends
// (code + 1, 0 for 0).
PARLANTO_WIDE_TARGET inline __m256 EightMultiplesBelow(__m128i codes)
{
    const __m256i low = _mm256_cvtepu8_epi32(codes);
    return _mm256_cvtepi32_ps(_mm256_max_epi32(_mm256_sub_epi32(low, _mm256_set1_epi32(1)), _mm256_setzero_si256()));
}

PARLANTO_WIDE_TARGET inline __m256 EightMultiplesAbove(__m128i codes)
{
    const __m256i high = _mm256_cvtepu8_epi32(codes);
    return _mm256_cvtepi32_ps(_mm256_add_epi32(high, _mm256_min_epi32(high, _mm256_set1_epi32(1))));
}

// Eight values' squared gaps, values k..k+7.
PARLANTO_WIDE_TARGET inline __m256 EightDecodedGapSquares(const float* xLow, const float* xHigh, const float* low,
                                                          const float* high, size_t k)
{
    const __m256 over = _mm256_sub_ps(_mm256_loadu_ps(low + k), _mm256_loadu_ps(xHigh + k));
    const __m256 under = _mm256_sub_ps(_mm256_loadu_ps(xLow + k), _mm256_loadu_ps(high + k));
    const __m256 gap = _mm256_max_ps(_mm256_max_ps(over, under), _mm256_setzero_ps());
    return _mm256_mul_ps(gap, gap);
}

// Two chains of sums and a tree of additions across the lanes, so that a frame's sum waits on few additions;
// the values past the last eight one by one.
PARLANTO_WIDE_TARGET float WideDecodedGapSquares(const float* xLow, const float* xHigh, const float* low,
                                                 const float* high, size_t width)
{
    __m256 sums[2] = {_mm256_setzero_ps(), _mm256_setzero_ps()};
    size_t k = 0;
    for (; k + 16 <= width; k += 16) {
        sums[0] = _mm256_add_ps(sums[0], EightDecodedGapSquares(xLow, xHigh, low, high, k));
        sums[1] = _mm256_add_ps(sums[1], EightDecodedGapSquares(xLow, xHigh, low, high, k + 8));
    }
    for (; k + 8 <= width; k += 8)
        sums[0] = _mm256_add_ps(sums[0], EightDecodedGapSquares(xLow, xHigh, low, high, k));
    const __m256 both = _mm256_add_ps(sums[0], sums[1]);
    __m128 four = _mm_add_ps(_mm256_castps256_ps128(both), _mm256_extractf128_ps(both, 1));
    four = _mm_add_ps(four, _mm_movehl_ps(four, four));
    four = _mm_add_ss(four, _mm_shuffle_ps(four, four, 1));
    return _mm_cvtss_f32(four) + NarrowDecodedGapSquares(xLow, xHigh, low, high, k, width);
}

// The envelope's ends, values first..width-1 one by one (inlined, as above).
PARLANTO_LANES_INLINE void NarrowDecodeEnvelope(const uint8_t* lowCodes, const uint8_t* highCodes,
                                                const float* stepDown, const float* stepUp, size_t first,
                                                size_t width, float* low, float* high)
{
    for (size_t k = first; k < width; ++k) {
        low[k] = stepDown[k] * static_cast<float>(lowCodes[k] > 0 ? lowCodes[k] - 1 : 0);
        high[k] = stepUp[k] * static_cast<float>(highCodes[k] > 0 ? highCodes[k] + 1 : 0);
    }
}

PARLANTO_WIDE_TARGET void WideDecodeEnvelope(const uint8_t* lowCodes, const uint8_t* highCodes, const float* stepDown,
                                             const float* stepUp, size_t width, float* low, float* high)
{
    size_t k = 0;
    for (; k + 8 <= width; k += 8) {
        const __m256 below = EightMultiplesBelow(EightCodes(lowCodes + k));
        const __m256 above = EightMultiplesAbove(EightCodes(highCodes + k));
        _mm256_storeu_ps(low + k, _mm256_mul_ps(_mm256_loadu_ps(stepDown + k), below));
        _mm256_storeu_ps(high + k, _mm256_mul_ps(_mm256_loadu_ps(stepUp + k), above));
    }
    NarrowDecodeEnvelope(lowCodes, highCodes, stepDown, stepUp, k, width, low, high);
}

void AllNarrowDecodeEnvelope(const uint8_t* lowCodes, const uint8_t* highCodes, const float* stepDown,
                             const float* stepUp, size_t width, float* low, float* high)
{
    NarrowDecodeEnvelope(lowCodes, highCodes, stepDown, stepUp, 0, width, low, high);
}

float AllNarrowDecodedGapSquares(const float* xLow, const float* xHigh, const float* low, const float* high,
                                 size_t width)
{
    return NarrowDecodedGapSquares(xLow, xHigh, low, high, 0, width);
}

}  // namespace

void DecodeIntervals(const uint8_t* codes, const float* stepDown, const float* stepUp, size_t width, float* low,
                     float* high)
{
    DecodeEnvelope(codes, codes, stepDown, stepUp, width, low, high);
}

void DecodeEnvelope(const uint8_t* lowCodes, const uint8_t* highCodes, const float* stepDown, const float* stepUp,
                    size_t width, float* low, float* high)
{
    ByVectorWidth(WideDecodeEnvelope, AllNarrowDecodeEnvelope, lowCodes, highCodes, stepDown, stepUp, width, low, high);
}

float GapSquares(const float* xLow, const float* xHigh, const float* low, const float* high, size_t width)
{
    return ByVectorWidth(WideDecodedGapSquares, AllNarrowDecodedGapSquares, xLow, xHigh, low, high, width);
}
