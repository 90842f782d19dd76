#pragma once
// An upper bound of the classic likeness (ColumnLikeness.h) of an utterance and a stored take known only in
// compact form (CompactScores.h), for ruling takes out before their exact rows are read.
//
// Why it is a bound. Take one matched column over the n rows the two trajectories share; a is the utterance's
// window, b the take's, b = s·c + e with c the codes, s the step, |e_i| <= s and e_i = 0 where c_i = 0; A and B
// are a and b less their means (real arithmetic), r* = <A,B> / (|A|·|B|) their true correlation.
// 1. The true correlation. <A,b> = <A,B>, so r* is the cosine of the angle between A and P·b (P removes the
//    mean). P·b = s·P·c + P·e with |P·e| <= |e| <= s·√m (m the nonzero codes), so P·b lies within an angle
//    asin(δ), δ = √m / |P·c|, of P·c, and r* <= cos(max(0, θ - asin δ)), θ the angle between A and P·c
//    (1 when δ >= 1). cos θ = (Σac - Σa·Σc/n) / (|A|·|P·c|) comes from the exact integer sums of
//    CompactCrossSums.h, Σac from the utterance's scores as 16-bit integers (a score within about half a step
//    of its integer's, a step its column's largest over 32767, so Σac within that times Σc); that error is
//    added first, and the bound only grows with cos θ.
// 2. What the doubles give. Both arithmetic paths form the single-pass sums of n terms and the same formula
//    (PearsonCorrelation.h). With G = (n + 8)·2^-52, a computed sum is within G/2 of the sum of |terms|, so a
//    computed variance is within 2G·Σa² of the true one and the computed covariance within 2G·√(Σa²·Σb²) of
//    <A,B> (Σ|a| <= √(n·Σa²), Cauchy-Schwarz). Each side's variance is required to be at least ρ = 2^-20 of
//    its sum of squares; then with κ = 2G/ρ (< 1/2 for every n allowed) both computed variances are within κ of
//    the true ones (so positive), the covariance within κ·|A|·|B|, and the computed r is at most r* + 5κ + 8u
//    (u = 2^-53); 6κ + 16u is added. For a the share comes from the utterance's own sums (formed over the same
//    window, so bounded alike). For b, values are exactly 0 where codes are, so (Σb)² <= m·Σb² gives a share
//    of at least (n - m)/n; |B| >= s·(|P·c| - √m) and √Σb² <= s·(√Σc² + √m) give another.
// 3. Known exactly: a window of zeros on either side, or fewer than two rows in common, gives a variance of
//    exactly 0 and r = 0 on both paths.
// 4. Where neither holds (a side of almost no variance, whose computed r is mostly rounding and may be anything)
//    there is no bound: +infinity, and the take is matched in full. So too where values leave 2^-290..2^250, or
//    a window's codes are 1 and 0 only (nothing then keeps Σb² from underflowing); inside, every square,
//    product and sum either stays a normal double or loses far less than G of the sums it enters.
// 5. The mean of 0.5 + 0.5·r over k columns is rounded on both sides by less than 5(k + 2)·u; 8(k + 4)·u is
//    added. Each of this side's own bounds is widened by 2^-48 of itself, more than its few roundings.
#include <cstdint>
#include <optional>
#include <vector>

#include "CentredWindowSums.h"
#include "ColumnMatch.h"
#include "CompactScores.h"
#include "SovoTypes.h"

class TColumnLikenessBound {
public:
    // Readied once per utterance; refers to it, which must outlive this.
    explicit TColumnLikenessBound(const TCommandTraj& utterance);

    // Never below AverageColumnLikeness(utterance, stored) for the stored trajectory (its column ids storedIds)
    // whose rows CompactScoresOf gave compact; +infinity when it cannot be bounded (the take is then matched
    // in full).
    double AtMost(const TCompactScores& compact, const std::vector<int32_t>& storedIds) const;

private:
    std::vector<TColumnPair> PairsWith(const std::vector<int32_t>& storedIds) const;

    const TCommandTraj& utterance_;
    bool boundable_ = false;        // finite scores of a sane size in rows of full width
    size_t width_ = 0;
    bool distinctIds_ = false;
    std::vector<double> scoreSteps_;   // by column: what one step of the integers below stands for
    std::vector<int16_t> pairs_;        // the scores in steps, row after row in pairs (CompactCrossSums.h)
    std::optional<TCentredWindowSums> windows_;
};
