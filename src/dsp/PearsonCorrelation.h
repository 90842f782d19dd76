#pragma once
// Pearson correlation from running sums (single-pass formula), shared by every correlation in the library.
// A side's part can be taken once (DeviationRoot) where it is correlated with many others.
#include <cmath>

// The root of the squared deviations from the mean of n values with sum s and sum of squares ss, or 0 when
// they are not positive.
inline double DeviationRoot(double n, double s, double ss)
{
    const double variance = ss - s * s / n;
    return variance > 0 ? std::sqrt(variance) : 0.0;
}

// n pairs with sums sa, sb, the two sides' deviation roots and cross products sab; 0 when either side has no
// variance.
inline double PearsonFromRoots(double n, double sa, double sb, double rootA, double rootB, double sab)
{
    const double denominator = rootA * rootB;
    if (denominator == 0)
        return 0.0;
    return (sab - sa * sb / n) / denominator;
}

// n pairs with sums sa, sb, squares saa, sbb and cross products sab; 0 when either side has no variance.
inline double PearsonFromSums(double n, double sa, double sb, double saa, double sbb, double sab)
{
    return PearsonFromRoots(n, sa, sb, DeviationRoot(n, sa, saa), DeviationRoot(n, sb, sbb), sab);
}
