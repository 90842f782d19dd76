#include "CompactCrossSums.h"

#include <algorithm>
#include <cstring>

#include "WideVectors.h"

namespace {

typedef float TFloats8 __attribute__((vector_size(32)));
typedef int32_t TInts8 __attribute__((vector_size(32)));
typedef uint8_t TBytes8 __attribute__((vector_size(8)));
typedef float TFloats4 __attribute__((vector_size(16)));
typedef int32_t TInts4 __attribute__((vector_size(16)));
typedef uint8_t TBytes4 __attribute__((vector_size(4)));
typedef float TFloats1 __attribute__((vector_size(4)));
typedef int32_t TInts1 __attribute__((vector_size(4)));
typedef uint8_t TBytes1 __attribute__((vector_size(1)));

// The columns from column on, as many as TFloats has lanes. Two block sums (even and odd rows) keep the adds
// from waiting on each other; together they are still one block's worth of float additions.
// One row's codes and scores of the columns from column on: their product added to block, the codes to the
// integer sums.
template <class TFloats, class TInts, class TBytes>
struct TGroupSums {
    TInts total{}, squares{}, nonzero{};

    PARLANTO_LANES_INLINE void Add(const TCodeAndScoreRows& rows, size_t row, size_t column, TFloats& block)
    {
        TBytes bytes;
        std::memcpy(&bytes, rows.Codes + row * rows.CodeStride + column, sizeof bytes);
        TFloats scores;
        std::memcpy(&scores, rows.Scores + row * rows.ScoreStride + column, sizeof scores);
        const TInts codes = __builtin_convertvector(bytes, TInts);
        block += scores * __builtin_convertvector(codes, TFloats);
        total += codes;
        squares += codes * codes;
        nonzero -= codes != 0;   // a true lane is -1
    }
};

// The columns from column on, as many as TFloats has lanes. Two block sums (even and odd rows) keep the adds
// from waiting on each other; together they are still one block's worth of float additions.
template <class TFloats, class TInts, class TBytes>
PARLANTO_LANES_INLINE void SumColumnGroup(const TCodeAndScoreRows& rows, size_t column, TCompactColumnSums& sums)
{
    constexpr size_t kLanes = sizeof(TFloats) / sizeof(float);
    TGroupSums<TFloats, TInts, TBytes> group;
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
        sums.Cross[column + lane] = cross[lane];
        sums.Codes[column + lane] = group.total[lane];
        sums.Squares[column + lane] = group.squares[lane];
        sums.Nonzero[column + lane] = group.nonzero[lane];
    }
}

// Groups of the width TFloats gives, then the columns left one by one.
template <class TFloats, class TInts, class TBytes>
PARLANTO_LANES_INLINE void SumAllColumns(const TCodeAndScoreRows& rows, TCompactColumnSums& sums)
{
    constexpr size_t kLanes = sizeof(TFloats) / sizeof(float);
    size_t column = 0;
    for (; column + kLanes <= rows.Width; column += kLanes)
        SumColumnGroup<TFloats, TInts, TBytes>(rows, column, sums);
    for (; column < rows.Width; ++column)
        SumColumnGroup<TFloats1, TInts1, TBytes1>(rows, column, sums);
}

PARLANTO_WIDE_TARGET void SumEightAtATime(const TCodeAndScoreRows& rows, TCompactColumnSums& sums)
{
    SumAllColumns<TFloats8, TInts8, TBytes8>(rows, sums);
}

void SumFourAtATime(const TCodeAndScoreRows& rows, TCompactColumnSums& sums)
{
    SumAllColumns<TFloats4, TInts4, TBytes4>(rows, sums);
}

}  // namespace

TCompactColumnSums SumCompactColumns(const TCodeAndScoreRows& rows)
{
    TCompactColumnSums sums;
    sums.Cross.assign(rows.Width, 0.0);
    sums.Codes.assign(rows.Width, 0);
    sums.Squares.assign(rows.Width, 0);
    sums.Nonzero.assign(rows.Width, 0);
    ByVectorWidth(SumEightAtATime, SumFourAtATime, rows, sums);
    return sums;
}
