#pragma once
// Two doubles operated on together (one SSE2 register on x86-64). Each lane is an ordinary IEEE double with
// the ordinary operations, so a loop over pairs gives the same values as the loop over single doubles.
#include <emmintrin.h>

#include <cmath>

// Pairs are loaded from and stored to any double, so only 8-byte alignment may be assumed. A typedef, not a
// using alias: clang drops the lowered alignment from an alias and then moves the pairs with aligned
// instructions, which fault on such addresses.
typedef double TDoublePair __attribute__((vector_size(16), __may_alias__, aligned(8)));
static_assert(alignof(TDoublePair) == alignof(double));

inline TDoublePair LoadPair(const double* at)
{
    return *reinterpret_cast<const TDoublePair*>(at);
}

inline void StorePair(double* at, TDoublePair value)
{
    *reinterpret_cast<TDoublePair*>(at) = value;
}

// The larger lane by lane; equal to std::max(a, b) for numbers (no NaN).
inline TDoublePair MaxPair(TDoublePair a, TDoublePair b)
{
    return b > a ? b : a;
}

// Square roots lane by lane, correctly rounded like std::sqrt.
inline TDoublePair SqrtPair(TDoublePair x)
{
    return reinterpret_cast<TDoublePair>(_mm_sqrt_pd(reinterpret_cast<__m128d>(x)));
}
