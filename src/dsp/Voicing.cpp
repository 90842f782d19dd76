// Voicing: how periodic a block of samples is at the period of a given tone.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "WideVectors.h"
#if PARLANTO_WIDE_VECTORS
#include <immintrin.h>
#endif

#include "ArithmeticPath.h"
#include "PearsonCorrelation.h"
#include "SovoUtils.h"

namespace {

constexpr double kSampleRateHz = 22050.0;
constexpr double kMinLagReach = 7.0;   // lags tried on each side of the period, at least this many

// Pearson correlation of two runs of count samples; the products are exact in 32 bits.
double CorrelateSamples(const int16_t* x, const int16_t* y, int32_t count)
{
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t a = x[i];
        const int32_t b = y[i];
        sx += a;
        sy += b;
        sxx += a * a;
        syy += b * b;
        sxy += a * b;
    }
    return PearsonFromSums(count, sx, sy, sxx, syy, sxy);
}

// The plain sums above add whole numbers far below 2^53, so every partial sum is exact and they equal the
// integer sums formed here in any order.
int64_t SampleSum(const int16_t* x, int32_t count)
{
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        sum += x[i];
    return sum;
}

// How many groups of eight products may be summed in 32 bits: each group adds a pair sum of at most
// 2 * largest^2 to every lane, and a block of n groups, less n, must stay within 32 bits (the top pair sum,
// 2^31 for two products of -32768 * -32768, only fits with the one taken off).
int32_t GroupsPerBlock(const int16_t* samples, int32_t count)
{
    int32_t largest = 0;
    for (int32_t i = 0; i < count; ++i)
        largest = std::max(largest, std::abs(int32_t{samples[i]}));
    const int64_t pairSum = 2 * int64_t{largest} * largest;
    return static_cast<int32_t>(std::max<int64_t>(1, std::numeric_limits<int32_t>::max() / (pairSum + 1)));
}

#if PARLANTO_WIDE_VECTORS
// The groups of sixteen products from i on, sixteen at a time, the same way as eight at a time below (each
// group still adds one pair sum to every lane); advances i past them.
PARLANTO_WIDE_TARGET int64_t WideProductSum(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock,
                                            int32_t& i)
{
    const int32_t start = i;
    __m256i lanes = _mm256_setzero_si256();   // four 64-bit sums
    while (i + 16 <= count) {
        const int32_t groups = std::min(groupsPerBlock, (count - i) / 16);
        __m256i block = _mm256_setzero_si256();
        for (int32_t g = 0; g < groups; ++g, i += 16) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + i));
            block = _mm256_add_epi32(block, _mm256_madd_epi16(a, b));
        }
        block = _mm256_sub_epi32(block, _mm256_set1_epi32(groups));
        const __m256i sign = _mm256_srai_epi32(block, 31);
        lanes = _mm256_add_epi64(lanes, _mm256_unpacklo_epi32(block, sign));
        lanes = _mm256_add_epi64(lanes, _mm256_unpackhi_epi32(block, sign));
    }
    int64_t quarters[4];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(quarters), lanes);
    return quarters[0] + quarters[1] + quarters[2] + quarters[3] + (i - start) / 2;
}
#endif

int64_t ProductSum(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock, bool wide)
{
    int64_t sum = 0;
    int32_t i = 0;
#if PARLANTO_WIDE_VECTORS
    if (wide)
        sum = WideProductSum(x, y, count, groupsPerBlock, i);
#else
    static_cast<void>(wide);
#endif
#if defined(__SSE2__)
    const int32_t start = i;
    __m128i lanes = _mm_setzero_si128();   // two 64-bit sums
    while (i + 8 <= count) {
        const int32_t groups = std::min(groupsPerBlock, (count - i) / 8);
        __m128i block = _mm_setzero_si128();
        for (int32_t g = 0; g < groups; ++g, i += 8) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i));
            block = _mm_add_epi32(block, _mm_madd_epi16(a, b));   // wraps only where the true sum needs 2^31
        }
        block = _mm_sub_epi32(block, _mm_set1_epi32(groups));    // now the true sum less groups, in range
        const __m128i sign = _mm_srai_epi32(block, 31);
        lanes = _mm_add_epi64(lanes, _mm_unpacklo_epi32(block, sign));
        lanes = _mm_add_epi64(lanes, _mm_unpackhi_epi32(block, sign));
    }
    int64_t halves[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), lanes);
    sum += halves[0] + halves[1] + (i - start) / 2;   // the ones taken off: one per lane and group
#else
    static_cast<void>(groupsPerBlock);
#endif
    for (; i < count; ++i)
        sum += x[i] * y[i];
    return sum;
}

// Best correlation of samples[0..window-1] with samples[lag..lag+window-1] over the lags, at least 0. The
// first run's sums are the same for every lag and the second run's slide with it.
double BestLagCorrelation(const int16_t* samples, int32_t firstLag, int32_t endLag, int32_t window)
{
    const int32_t groups = GroupsPerBlock(samples, endLag - 1 + window);
    const bool wide = WideVectors();
    const auto sx = static_cast<double>(SampleSum(samples, window));
    const double rootX = DeviationRoot(window, sx, static_cast<double>(ProductSum(samples, samples, window, groups, wide)));
    int64_t sy = SampleSum(samples + firstLag, window);
    int64_t syy = ProductSum(samples + firstLag, samples + firstLag, window, groups, wide);
    double best = 0.0;
    for (int32_t lag = firstLag; lag < endLag; ++lag) {
        if (lag > firstLag) {
            const int64_t leaving = samples[lag - 1];
            const int64_t entering = samples[lag - 1 + window];
            sy += entering - leaving;
            syy += entering * entering - leaving * leaving;
        }
        const auto sxy = static_cast<double>(ProductSum(samples, samples + lag, window, groups, wide));
        const double rootY = DeviationRoot(window, static_cast<double>(sy), static_cast<double>(syy));
        best = std::max(best, PearsonFromRoots(window, sx, static_cast<double>(sy), rootX, rootY, sxy));
    }
    return best;
}

}  // namespace

double Voicing(const int16_t* samples, int32_t count, double mainTone)
{
    // A tone that is not positive has no period. The tone estimator can produce one when silent frames make it
    // rework its stale candidate list.
    if (!(mainTone > 0))
        return 0.0;
    // Kept in floating point until the sample count has bounded them: a very low tone has a huge period.
    const double period = std::nearbyint(kSampleRateHz / mainTone);
    const double reach = std::max(std::min(kMinLagReach, period), std::nearbyint(period / 10));
    if (count <= 2.5 * period + reach || reach <= 0)
        return 0.0;

    // One and a half periods of the block against themselves shifted by lags around one period.
    const int32_t p = static_cast<int32_t>(period);
    const int32_t n = static_cast<int32_t>(reach);
    const int32_t window = p + p / 2;
    if (ArithmeticPath() == TArithmeticPath::Fast)
        return BestLagCorrelation(samples, p - n, p + n, window);
    double best = 0.0;
    for (int32_t lag = p - n; lag < p + n; ++lag)
        best = std::max(best, CorrelateSamples(samples, samples + lag, window));
    return best;
}
