// Sums of sample products by the 16-bit multiply-add (pmaddwd): it multiplies the samples lane by lane and adds
// neighbouring products, so that each 32-bit lane of its result holds a pair sum x[2j] y[2j] + x[2j+1] y[2j+1].
// A block of groups steps adds one pair sum a step to every lane, wrapping in 32 bits, and is then widened.
//
// The bound, stated once: with L the largest magnitude among the samples, a pair sum lies within
// -2 L^2 .. 2 L^2, so a block's true lane sum lies within -groups * 2 L^2 .. groups * 2 L^2. The one pair sum
// that 32 bits cannot hold is 2^31 (both products -32768 * -32768), which wraps to -2^31. Taking one off per
// step before the lane is read as signed, the true sum less groups lies within +-groups * (2 L^2 + 1), inside
// 32 bits when groups * (2 L^2 + 1) <= 2^31 - 1: GroupsPerBlock. The ones taken off are added back at the end,
// one per lane and step, that is one per two samples.
#include "SampleProducts.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "WideVectors.h"

namespace {

using TPairSums4 = uint32_t __attribute__((vector_size(16)));   // wrapping lanes
using TPairSums8 = uint32_t __attribute__((vector_size(32)));
using TSigned4 = int32_t __attribute__((vector_size(16)));
using TSigned8 = int32_t __attribute__((vector_size(32)));
using TWide4 = int64_t __attribute__((vector_size(32)));
using TWide8 = int64_t __attribute__((vector_size(64)));

// Adds the pair sums of eight or sixteen samples of x and of y to block.
PARLANTO_LANES_INLINE void AddPairSums(const int16_t* x, const int16_t* y, TPairSums4& block)
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y));
    block += reinterpret_cast<TPairSums4>(_mm_madd_epi16(a, b));
}

// Compiled for AVX2 itself, as its intrinsics demand, and so neither forced inline into the templates below
// (which are not) nor handed a vector by value: ProductsWide, which alone uses it, takes it in by flattening.
PARLANTO_WIDE_TARGET inline void AddPairSums(const int16_t* x, const int16_t* y, TPairSums8& block)
{
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y));
    block += reinterpret_cast<TPairSums8>(_mm256_madd_epi16(a, b));
}

PARLANTO_LANES_INLINE TWide4 Widened(TPairSums4 sums)
{
    return __builtin_convertvector(reinterpret_cast<TSigned4>(sums), TWide4);
}

PARLANTO_LANES_INLINE TWide8 Widened(TPairSums8 sums)
{
    return __builtin_convertvector(reinterpret_cast<TSigned8>(sums), TWide8);
}

// The products from i on, as many whole steps of TPairSums as there are, in blocks of at most groupsPerBlock
// steps; advances i past them.
template <class TPairSums>
PARLANTO_LANES_INLINE int64_t BlockSums(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock,
                                        int32_t& i)
{
    constexpr int32_t kStep = sizeof(TPairSums) / sizeof(int16_t);
    const int32_t start = i;
    decltype(Widened(TPairSums{})) total = {};
    while (i + kStep <= count) {
        const int32_t groups = std::min(groupsPerBlock, (count - i) / kStep);
        TPairSums block = {};
        for (int32_t g = 0; g < groups; ++g, i += kStep)
            AddPairSums(x + i, y + i, block);
        total += Widened(block - static_cast<uint32_t>(groups));
    }
    int64_t sum = (i - start) / 2;   // the ones taken off
    for (size_t lane = 0; lane < sizeof(total) / sizeof(int64_t); ++lane)
        sum += total[lane];
    return sum;
}

// Sixteen products a step, then eight, then one by one.
template <bool wide>
PARLANTO_LANES_INLINE int64_t Products(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock)
{
    int32_t i = 0;
    int64_t sum = 0;
    if constexpr (wide)
        sum += BlockSums<TPairSums8>(x, y, count, groupsPerBlock, i);
    sum += BlockSums<TPairSums4>(x, y, count, groupsPerBlock, i);
    for (; i < count; ++i)
        sum += x[i] * y[i];
    return sum;
}

PARLANTO_WIDE_TARGET __attribute__((flatten)) int64_t ProductsWide(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock)
{
    return Products<true>(x, y, count, groupsPerBlock);
}

int64_t ProductsNarrow(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock)
{
    return Products<false>(x, y, count, groupsPerBlock);
}

}  // namespace

int32_t GroupsPerBlock(const int16_t* samples, int32_t count)
{
    int32_t largest = 0;
    for (int32_t i = 0; i < count; ++i)
        largest = std::max(largest, std::abs(int32_t{samples[i]}));
    const int64_t pairSum = 2 * int64_t{largest} * largest;
    return static_cast<int32_t>(std::max<int64_t>(1, std::numeric_limits<int32_t>::max() / (pairSum + 1)));
}

int64_t ProductSum(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock)
{
    return ByVectorWidth(ProductsWide, ProductsNarrow, x, y, count, groupsPerBlock);
}
