#pragma once
// The harmonic comb that the tone estimator matches against the lower band: harmonic h of a tone sits at
// centre bin trunc(h * tone / kBinHz) and covers the bins centre-1 .. centre+2 with the weights below; a later
// harmonic overwrites the cells it shares with an earlier one. The comb has harmonics 1 .. 169 and ends
// before the first harmonic whose cells would leave the spectrum. Tones below one bin count as one bin.
#include <cstdint>

#include "SignalFormat.h"

constexpr int32_t kCombHarmonicLimit = kBinCount / 3;   // harmonics 1 .. 169
constexpr int32_t kCombCells = 4;
constexpr double kCombWeights[kCombCells] = {0.2, 1.0, 1.0, 0.2};   // cells centre-1 .. centre+2
constexpr int32_t kCombLastCentre = kBinCount - 3;

// Harmonic positions in bins, stepped in fixed point: position h = h * step. Harmonic h's centre is the
// position's whole part unless the position lies within 1e-9 bins of a whole bin (the positions stay within
// 1e-10 bins of h * tone / kBinHz, and so does the plain quotient, so elsewhere both truncate alike).
struct TCombSteps {
    static constexpr int kFractionBits = 40;
    uint64_t step = 0;
    int32_t fitting = 0;   // harmonics whose fixed-point centre is at most kCombLastCentre

    static constexpr uint64_t kOne = uint64_t{1} << kFractionBits;
    static constexpr auto kWholeBinMargin = static_cast<uint64_t>(1e-9 * kOne);

    static int32_t Centre(uint64_t position) { return static_cast<int32_t>(position >> kFractionBits); }
    static bool NearWholeBin(uint64_t position)
    {
        return ((position + kWholeBinMargin) & (kOne - 1)) < 2 * kWholeBinMargin;
    }
    // Harmonics whose fixed-point centre lies below bin.
    int32_t HarmonicsBelow(int32_t bin) const;
    // Whether any of harmonics 1..count lies near a whole bin (a few more may be tested too: a false alarm
    // only costs an exact evaluation); eight or sixteen harmonics a step (the plain statement is in
    // HarmonicComb.cpp).
    bool AnyNearWholeBin(int32_t count) const;
};
TCombSteps CombSteps(double tone);

// Centre bins of the comb's harmonics, lowest first; returns how many there are. Equal, bin for bin, to
// trunc(h * tone / kBinHz) with the division, which is only done near whole bins.
int32_t CombCentres(double tone, int32_t* centres);
