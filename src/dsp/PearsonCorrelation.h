#pragma once
// Pearson correlation from running sums (single-pass formula), shared by every correlation in the library.
// A side's part can be taken once (DeviationRoot) where it is correlated with many others.
#include <cmath>
#include <cstdint>

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

// The sums of the single-pass formula over count pairs of small integers (bytes, samples): every product formed
// exactly in 32 bits, the sums added up in TSum.
template <class TSum>
struct TIntegerPearsonSums {
    TSum a = 0, b = 0, aa = 0, bb = 0, ab = 0;

    template <class T>
    TIntegerPearsonSums(const T* x, const T* y, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            const int32_t p = x[i];
            const int32_t q = y[i];
            a += p;
            b += q;
            aa += p * p;
            bb += q * q;
            ab += p * q;
        }
    }

    // Their correlation, the pairs counted as n (more than count where the rest are zeros in both).
    double Pearson(double n) const
    {
        return PearsonFromSums(n, static_cast<double>(a), static_cast<double>(b), static_cast<double>(aa),
                               static_cast<double>(bb), static_cast<double>(ab));
    }
};
