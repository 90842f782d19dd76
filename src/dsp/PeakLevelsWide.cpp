// Four bins a step: the quotient's whole part L is taken where AboveLevel's quick tests alone show the value
// above L's threshold (or L is 0) and not above L + 1's (or L is the top level) in all four bins; otherwise the
// four go bin by bin through PeakLevel. The products are PeakLevel's own, so the tests decide as they do there.
#include "PeakLevelsWide.h"

#include <immintrin.h>

#include "LevelThreshold.h"
#include "PeakLevels.h"
#include "WideVectors.h"

PARLANTO_WIDE_TARGET void PeakLevelsWide(const double* values, const double* envelope, int32_t from, int32_t to,
                                         int32_t* levels)
{
    const __m256d divisor = _mm256_set1_pd(kLevelDivisor);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d top = _mm256_set1_pd(kFirstLevel);
    const __m256d up = _mm256_set1_pd(kThresholdUp);
    const __m256d down = _mm256_set1_pd(kThresholdDown);
    int32_t k = from;
    for (; k + 4 <= to; k += 4) {
        const __m256d value = _mm256_loadu_pd(values + k);
        const __m256d level = _mm256_loadu_pd(envelope + k);
        const __m256d scaled = _mm256_mul_pd(value, divisor);
        // max takes its second operand, zero, for a quotient that is not a number
        const __m256d whole = _mm256_round_pd(_mm256_min_pd(_mm256_max_pd(_mm256_div_pd(scaled, level), zero), top),
                                              _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        const __m256d here = _mm256_mul_pd(whole, level);
        const __m256d next = _mm256_mul_pd(_mm256_add_pd(whole, one), level);
        const __m256d aboveHere = _mm256_or_pd(_mm256_cmp_pd(whole, zero, _CMP_EQ_OQ),
                                               _mm256_cmp_pd(scaled, _mm256_mul_pd(here, up), _CMP_GT_OQ));
        const __m256d belowNext = _mm256_or_pd(_mm256_cmp_pd(whole, top, _CMP_EQ_OQ),
                                               _mm256_cmp_pd(scaled, _mm256_mul_pd(next, down), _CMP_LT_OQ));
        if (_mm256_movemask_pd(_mm256_and_pd(aboveHere, belowNext)) == 0xF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(levels + k), _mm256_cvttpd_epi32(whole));
        } else {
            for (int32_t i = k; i < k + 4; ++i)
                levels[i] = PeakLevel(values[i], envelope[i], true);
        }
    }
    for (; k < to; ++k)
        levels[k] = PeakLevel(values[k], envelope[k], true);
}
