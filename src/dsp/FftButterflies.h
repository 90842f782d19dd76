#pragma once
// The radix-2 butterfly and the rotation by a twiddle factor, for the reference and the fast stages alike.
#include "FftStages.h"
#include "WideVectors.h"

// Written once for single doubles and for pairs and quads of them: the same operations in each lane.
template <TDirection direction, class T>
PARLANTO_LANES_INLINE void Butterfly(T& r1, T& i1, T& r2, T& i2)
{
    if constexpr (direction == TDirection::Analysis) {
        const T ar = (r1 + r2) / 2;
        const T ai = (i1 + i2) / 2;
        r1 = ar;
        i1 = ai;
        r2 = ar - r2;
        i2 = ai - i2;
    } else {
        const T ar = r1 + r2;
        const T ai = i1 + i2;
        r1 = ar;
        i1 = ai;
        r2 = ar - 2 * r2;
        i2 = ai - 2 * i2;
    }
}

// The twiddles are of the values' type or single doubles, which then turn every lane alike.
template <TDirection direction, class T, class TTwiddle>
PARLANTO_LANES_INLINE void Rotate(T& r, T& i, TTwiddle wc, TTwiddle ws)
{
    const T oldR = r;
    const T oldI = i;
    if constexpr (direction == TDirection::Analysis) {
        r = oldR * wc - oldI * ws;
        i = oldI * wc + oldR * ws;
    } else {
        r = oldR * wc + oldI * ws;
        i = oldI * wc - oldR * ws;
    }
}

// value with its first lane from `first` (a single double is all first lane).
inline double WithFirstLaneOf(double, double first)
{
    return first;
}

PARLANTO_LANES_INLINE TDoublePairValue WithFirstLaneOf(TDoublePairValue value, TDoublePairValue first)
{
    return __builtin_shufflevector(first, value, 0, 3);
}

PARLANTO_LANES_INLINE TDoubleQuad WithFirstLaneOf(TDoubleQuad value, TDoubleQuad first)
{
    return __builtin_shufflevector(first, value, 0, 5, 6, 7);
}

// Position 0 of a span is never rotated: the vectors that start at it keep their first lane as it was.
template <TDirection direction, bool firstLaneStays, class T>
PARLANTO_LANES_INLINE void RotateLanes(T& r, T& i, T wc, T ws)
{
    const T oldR = r;
    const T oldI = i;
    Rotate<direction>(r, i, wc, ws);
    if constexpr (firstLaneStays) {
        r = WithFirstLaneOf(r, oldR);
        i = WithFirstLaneOf(i, oldI);
    }
}
