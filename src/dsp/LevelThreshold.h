#pragma once
// Whether value > product / divisor, decided exactly as that quotient decides it, mostly without the division.
//
// For a value of at least 2^-1000 and a positive divisor: with u = 2^-53, the quotient q lies within a factor
// 1 +- u of product / divisor and value * divisor within 1 +- u of the exact product, so value * divisor beyond
// product * (1 +- 8u) settles the comparison; only nearer ties divide. (A quotient too small for that relative
// bound lies below 2^-1022, under any such value, and the first test then says so rightly.) Without quick the
// division always decides, as in the reference arithmetic.
constexpr double kThresholdUp = 1 + 0x1p-50;
constexpr double kThresholdDown = 1 - 0x1p-50;

inline bool AboveLevel(double value, double product, double divisor, bool quick)
{
    if (quick) {
        const double scaled = value * divisor;
        if (scaled > product * kThresholdUp)
            return true;
        if (scaled < product * kThresholdDown)
            return false;
    }
    return value > product / divisor;
}
