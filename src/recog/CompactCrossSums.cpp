#include "CompactCrossSums.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

#include "WideVectors.h"

namespace {

typedef uint8_t TBytes16 __attribute__((vector_size(16)));
typedef uint16_t TShorts16 __attribute__((vector_size(32)));
typedef uint16_t TShorts8 __attribute__((vector_size(16)));
typedef float TFloats8 __attribute__((vector_size(32)));
typedef int32_t TInts8 __attribute__((vector_size(32)));
typedef float TFloats4 __attribute__((vector_size(16)));
typedef int32_t TInts4 __attribute__((vector_size(16)));
typedef float TFloats1 __attribute__((vector_size(4)));
typedef int32_t TInts1 __attribute__((vector_size(4)));

// Eight, four or one code widened to 32 bits: the bytes spread out among zero bytes (the vector extensions'
// own conversion would widen them one by one).
PARLANTO_LANES_INLINE TInts8 LoadCodes(const uint8_t* at, TInts8)
{
    const auto bytes = reinterpret_cast<TBytes16>(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
    return reinterpret_cast<TInts8>(__builtin_shufflevector(bytes, bytes, 0, 8, 8, 8, 1, 8, 8, 8, 2, 8, 8, 8, 3, 8, 8,
                                                            8, 4, 8, 8, 8, 5, 8, 8, 8, 6, 8, 8, 8, 7, 8, 8, 8));
}

PARLANTO_LANES_INLINE TInts4 LoadCodes(const uint8_t* at, TInts4)
{
    int32_t four;
    std::memcpy(&four, at, sizeof four);
    const auto bytes = reinterpret_cast<TBytes16>(_mm_cvtsi32_si128(four));
    return reinterpret_cast<TInts4>(
        __builtin_shufflevector(bytes, bytes, 0, 8, 8, 8, 1, 8, 8, 8, 2, 8, 8, 8, 3, 8, 8, 8));
}

PARLANTO_LANES_INLINE TInts1 LoadCodes(const uint8_t* at, TInts1)
{
    return TInts1{*at};
}

// Squares of codes as 16-bit products: a code's square fits 16 bits unsigned, and the upper halves are 0.
PARLANTO_LANES_INLINE TInts8 Squares(TInts8 codes)
{
    const TShorts16 halves = reinterpret_cast<TShorts16>(codes);
    return reinterpret_cast<TInts8>(halves * halves);
}

PARLANTO_LANES_INLINE TInts4 Squares(TInts4 codes)
{
    const TShorts8 halves = reinterpret_cast<TShorts8>(codes);
    return reinterpret_cast<TInts4>(halves * halves);
}

PARLANTO_LANES_INLINE TInts1 Squares(TInts1 codes)
{
    return codes * codes;
}

// One row's codes and scores of the columns from column on: their product added to block, the codes to the
// integer sums.
template <class TFloats, class TInts>
struct TGroupSums {
    TInts total{}, squares{}, zeros{};

    PARLANTO_LANES_INLINE void Add(const TCodeAndScoreRows& rows, size_t row, size_t column, TFloats& block)
    {
        const TInts codes = LoadCodes(rows.Codes + row * rows.CodeStride + column, TInts{});
        TFloats scores;
        std::memcpy(&scores, rows.Scores + row * rows.ScoreStride + column, sizeof scores);
        block += scores * __builtin_convertvector(codes, TFloats);
        total += codes;
        squares += Squares(codes);
        zeros -= codes == 0;   // a true lane is -1
    }
};

// The columns from column on, as many as TFloats has lanes. Two block sums (even and odd rows) keep the adds
// from waiting on each other; together they are still one block's worth of float additions.
template <class TFloats, class TInts>
PARLANTO_LANES_INLINE void SumColumnGroup(const TCodeAndScoreRows& rows, size_t column,
                                          std::vector<TCompactColumnSums>& sums)
{
    constexpr size_t kLanes = sizeof(TFloats) / sizeof(float);
    TGroupSums<TFloats, TInts> group;
    double cross[kLanes] = {};
    for (size_t first = 0; first < rows.Count; first += kCrossBlockRows) {
        const size_t end = std::min(rows.Count, first + kCrossBlockRows);
        TFloats even{}, odd{};
        size_t i = first;
        for (; i + 1 < end; i += 2) {
            group.Add(rows, i, column, even);
            group.Add(rows, i + 1, column, odd);
        }
        if (i < end)
            group.Add(rows, i, column, even);
        const TFloats block = even + odd;
        for (size_t lane = 0; lane < kLanes; ++lane)
            cross[lane] += block[lane];
    }
    for (size_t lane = 0; lane < kLanes; ++lane) {
        sums[column + lane] = {cross[lane], group.total[lane], group.squares[lane],
                               static_cast<int32_t>(rows.Count) - group.zeros[lane]};
    }
}

// Groups of the width TFloats gives, then the columns left one by one.
template <class TFloats, class TInts>
PARLANTO_LANES_INLINE void SumAllColumns(const TCodeAndScoreRows& rows, std::vector<TCompactColumnSums>& sums)
{
    constexpr size_t kLanes = sizeof(TFloats) / sizeof(float);
    size_t column = 0;
    for (; column + kLanes <= rows.Width; column += kLanes)
        SumColumnGroup<TFloats, TInts>(rows, column, sums);
    for (; column < rows.Width; ++column)
        SumColumnGroup<TFloats1, TInts1>(rows, column, sums);
}

PARLANTO_WIDE_TARGET void SumEightAtATime(const TCodeAndScoreRows& rows, std::vector<TCompactColumnSums>& sums)
{
    SumAllColumns<TFloats8, TInts8>(rows, sums);
}

void SumFourAtATime(const TCodeAndScoreRows& rows, std::vector<TCompactColumnSums>& sums)
{
    SumAllColumns<TFloats4, TInts4>(rows, sums);
}

}  // namespace

std::vector<TCompactColumnSums> SumCompactColumns(const TCodeAndScoreRows& rows)
{
    std::vector<TCompactColumnSums> sums(rows.Width);
    ByVectorWidth(SumEightAtATime, SumFourAtATime, rows, sums);
    return sums;
}
