#pragma once
// The nearest whole number, ties to even: what nearbyint gives in the default rounding mode, for |x| below
// 2^51 (a negative number that rounds to zero gives +0 rather than -0). Without a library call, so that the
// loops around it vectorise: after adding 1.5 * 2^52 no fraction bits are left, the rounding of that addition
// is the rounding wanted, and taking the constant off again is exact. For a double or each lane of a vector
// of doubles, inlined into its caller so that it takes the caller's instruction set.
template <class T>
inline __attribute__((always_inline)) T NearestInteger(T x)
{
    constexpr double kShift = 0x1.8p52;
    return (x + kShift) - kShift;
}
