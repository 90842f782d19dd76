#pragma once
// Pearson correlation from running sums (single-pass formula), shared by every correlation in the library.
#include <cmath>

// n pairs with sums sa, sb, squares saa, sbb and cross products sab; 0 when either side has no variance.
inline double PearsonFromSums(double n, double sa, double sb, double saa, double sbb, double sab)
{
    const double varianceA = saa - sa * sa / n;
    const double varianceB = sbb - sb * sb / n;
    if (!(varianceA > 0) || !(varianceB > 0))
        return 0.0;
    const double denominator = std::sqrt(varianceA) * std::sqrt(varianceB);
    if (denominator == 0)
        return 0.0;
    return (sab - sa * sb / n) / denominator;
}
