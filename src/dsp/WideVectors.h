#pragma once
// Vectors of doubles for the fast loops, and the one way those loops choose how many doubles they take a step.
//
// The library is built for x86-64 (CMakeLists.txt checks it), so two doubles to a vector (SSE2) are always
// there. Four (AVX2) only where the processor has them: the four-at-a-time code is compiled for AVX2 function by
// function (PARLANTO_WIDE_TARGET) and only ever called through ByVectorWidth, which asks WideVectors() first.
// Every lane is an ordinary IEEE double with the ordinary operations, none fused (-ffp-contract=off, and AVX2
// brings no FMA), so each width gives every value the plain loop gives it.
#include <utility>

#include "ArithmeticPath.h"
#include "DoublePair.h"

#define PARLANTO_WIDE_TARGET __attribute__((target("avx2")))
// Helpers for every width are inlined into their callers, so that they take the callers' instruction set: the
// four-at-a-time code becomes AVX2 code only inside the PARLANTO_WIDE_TARGET functions that call it, and no
// four-double vector is ever passed to a function that is not compiled for it.
#define PARLANTO_LANES_INLINE inline __attribute__((always_inline))

// Runs wide (a PARLANTO_WIDE_TARGET function) where WideVectors() allows, narrow otherwise; both take the same
// arguments and do the whole job, tails included.
template <class TWide, class TNarrow, class... TArgs>
PARLANTO_LANES_INLINE decltype(auto) ByVectorWidth(TWide wide, TNarrow narrow, TArgs&&... args)
{
    if (WideVectors())
        return wide(std::forward<TArgs>(args)...);
    return narrow(std::forward<TArgs>(args)...);
}

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

// v[0..lanes-1] turned about their diagonal: lane q of v[L] becomes lane L of v[q].
PARLANTO_LANES_INLINE void Transpose(double*) {}

PARLANTO_LANES_INLINE void Transpose(TDoublePairValue* v)
{
    const TDoublePairValue first = __builtin_shufflevector(v[0], v[1], 0, 2);
    v[1] = __builtin_shufflevector(v[0], v[1], 1, 3);
    v[0] = first;
}

PARLANTO_LANES_INLINE void Transpose(TDoubleQuad* v)
{
    const TDoubleQuad evens01 = __builtin_shufflevector(v[0], v[1], 0, 4, 2, 6);
    const TDoubleQuad odds01 = __builtin_shufflevector(v[0], v[1], 1, 5, 3, 7);
    const TDoubleQuad evens23 = __builtin_shufflevector(v[2], v[3], 0, 4, 2, 6);
    const TDoubleQuad odds23 = __builtin_shufflevector(v[2], v[3], 1, 5, 3, 7);
    v[0] = __builtin_shufflevector(evens01, evens23, 0, 1, 4, 5);
    v[1] = __builtin_shufflevector(odds01, odds23, 0, 1, 4, 5);
    v[2] = __builtin_shufflevector(evens01, evens23, 2, 3, 6, 7);
    v[3] = __builtin_shufflevector(odds01, odds23, 2, 3, 6, 7);
}
