#pragma once
// Four doubles operated on together (one AVX register), for the loops that run four at a time where the
// processor allows (WideVectors() in ArithmeticPath.h). Code using them is compiled for AVX2 function by
// function (PARLANTO_WIDE_TARGET) and only called after that check; everything else stays baseline x86-64.
// Like TDoublePair, each lane is an ordinary IEEE double with the ordinary operations (no fused ones).
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PARLANTO_WIDE_VECTORS 1
#define PARLANTO_WIDE_TARGET __attribute__((target("avx2")))
#else
#define PARLANTO_WIDE_VECTORS 0
#define PARLANTO_WIDE_TARGET
#endif
// Helpers for both widths are inlined into their callers, so that they take the callers' instruction set: the
// four-at-a-time code becomes AVX2 code only inside the PARLANTO_WIDE_TARGET functions that call it.
#define PARLANTO_LANES_INLINE inline __attribute__((always_inline))

using TDoubleQuad = double __attribute__((vector_size(32)));
// The same in memory, at any double's address. A typedef, as for TDoublePair: clang drops the lowered
// alignment from a using alias.
typedef double TDoubleQuadInMemory __attribute__((vector_size(32), __may_alias__, aligned(8)));
static_assert(alignof(TDoubleQuadInMemory) == alignof(double));

PARLANTO_LANES_INLINE TDoubleQuad LoadQuad(const double* at)
{
    return *reinterpret_cast<const TDoubleQuadInMemory*>(at);
}

PARLANTO_LANES_INLINE void StoreQuad(double* at, TDoubleQuad value)
{
    *reinterpret_cast<TDoubleQuadInMemory*>(at) = value;
}

#include "DoublePair.h"

// A pair as a value in registers and locals, at its natural alignment; TDoublePair is the form for memory at
// any double's address.
using TDoublePairValue = double __attribute__((vector_size(16)));

// Loads and stores of a double, a pair or a quad, for loops written once for every width: LoadLanes(at, T{}).
inline double LoadLanes(const double* at, double)
{
    return *at;
}

inline void StoreLanes(double* at, double value)
{
    *at = value;
}

inline TDoublePair LoadLanes(const double* at, TDoublePair)
{
    return LoadPair(at);
}

inline void StoreLanes(double* at, TDoublePair value)
{
    StorePair(at, value);
}

PARLANTO_LANES_INLINE TDoubleQuad LoadLanes(const double* at, TDoubleQuad)
{
    return LoadQuad(at);
}

PARLANTO_LANES_INLINE void StoreLanes(double* at, TDoubleQuad value)
{
    StoreQuad(at, value);
}

template <class T>
constexpr int kLanes = sizeof(T) / sizeof(double);

// Square roots lane by lane, correctly rounded; a quad as two pairs, since this helper is also compiled outside
// the AVX2 functions.
inline double SqrtLanes(double x)
{
    return std::sqrt(x);
}

inline TDoublePair SqrtLanes(TDoublePair x)
{
    return SqrtPair(x);
}

PARLANTO_LANES_INLINE TDoubleQuad SqrtLanes(TDoubleQuad x)
{
    const TDoublePair low = SqrtPair(TDoublePair{x[0], x[1]});
    const TDoublePair high = SqrtPair(TDoublePair{x[2], x[3]});
    return TDoubleQuad{low[0], low[1], high[0], high[1]};
}
