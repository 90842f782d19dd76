#include "HarmonicComb.h"

#include <algorithm>

#include "WideVectors.h"

namespace {

constexpr double kBinsPerHz = 1.0 / kBinHz;

// The whole-bin test, plainly: does any of harmonics 1..count lie near a whole bin?
//
//     for (int32_t h = 1; h <= count; ++h)
//         if (TCombSteps::NearWholeBin(h * step))
//             return true;
//     return false;
//
// The lane test below answers true wherever this does, and otherwise false unless a harmonic at most 16 beyond
// count lies near a whole bin, or a fraction lies just outside the margin (the bits it leaves out).
//
// It runs on 32-bit lanes, twice as many to a register as whole positions. Lane h holds
// X = h * (fraction of step >> 8) mod 2^32, and the fraction of position h is (2^8 X + e) mod 2^40 with
// e = h * (fraction of step mod 2^8), below kTestedHarmonics * 2^8. A fraction within the margin of a whole bin
// (-margin .. margin) therefore has X within -kBelow .. kAbove mod 2^32; the test flags those X, and the few
// more that this lets through only cost an exact evaluation.
constexpr int kDroppedBits = 8;
constexpr uint32_t kTestedHarmonics = 192;   // at least kCombHarmonicLimit plus a turn of lanes
constexpr uint32_t kAbove = static_cast<uint32_t>(TCombSteps::kWholeBinMargin >> kDroppedBits) + 1;
constexpr uint32_t kBelow = kAbove + kTestedHarmonics;
static_assert(kCombHarmonicLimit + 16 <= kTestedHarmonics);

using TFourLanes = uint32_t __attribute__((vector_size(16)));
using TFourSignedLanes = int32_t __attribute__((vector_size(16)));
using TEightLanes = uint32_t __attribute__((vector_size(32)));
using TEightSignedLanes = int32_t __attribute__((vector_size(32)));

// Harmonics 1..count (rounded up to two registers' worth) against the flagged range, with kBelow added so that
// the range starts at 0: flagged holds all ones in a lane that was ever in the range. The vector units compare
// signed lanes only: moved by 2^31, the unsigned range 0 .. kBelow + kAbove becomes the signed one below
// kSignedLimit. Handed back by reference: a wider vector may not be passed by value to code that is not
// compiled for it.
template <class TLanes, class TSignedLanes>
PARLANTO_LANES_INLINE void FlagNearWholeBins(uint64_t step, int32_t count, TLanes& flagged)
{
    constexpr int lanes = sizeof(TLanes) / sizeof(uint32_t);
    constexpr uint32_t kSignBias = uint32_t{1} << 31;
    constexpr auto kSignedLimit = static_cast<int32_t>((kBelow + kAbove + 1) ^ kSignBias);
    const auto stepHigh = static_cast<uint32_t>((step & (TCombSteps::kOne - 1)) >> kDroppedBits);
    TLanes first, second;
    for (int i = 0; i < lanes; ++i) {
        first[i] = static_cast<uint32_t>(i + 1) * stepHigh + kBelow + kSignBias;
        second[i] = static_cast<uint32_t>(lanes + i + 1) * stepHigh + kBelow + kSignBias;
    }
    const uint32_t turn = 2 * lanes * stepHigh;
    flagged = TLanes{};
    for (int32_t h = 0; h < count; h += 2 * lanes) {
        flagged |= reinterpret_cast<TLanes>((reinterpret_cast<TSignedLanes>(first) < kSignedLimit) |
                                            (reinterpret_cast<TSignedLanes>(second) < kSignedLimit));
        first += turn;
        second += turn;
    }
}

// Whether any lane is set: one test instruction, where lifting each lane out would cost more than the whole loop.
PARLANTO_WIDE_TARGET bool AnyNearWholeBinWide(uint64_t step, int32_t count)
{
    TEightLanes flagged;
    FlagNearWholeBins<TEightLanes, TEightSignedLanes>(step, count, flagged);
    using TQuadWords = long long __attribute__((vector_size(32)));
    const auto words = reinterpret_cast<TQuadWords>(flagged);
    return !__builtin_ia32_ptestz256(words, words);
}

bool AnyNearWholeBinNarrow(uint64_t step, int32_t count)
{
    TFourLanes flagged;
    FlagNearWholeBins<TFourLanes, TFourSignedLanes>(step, count, flagged);
    return (flagged[0] | flagged[1] | flagged[2] | flagged[3]) != 0;
}

}  // namespace

int32_t TCombSteps::HarmonicsBelow(int32_t bin) const
{
    if (step == 0)
        return 0;
    // (end - 1) / step, the largest h with h * step < end: the quotient in doubles is within one of it (both
    // operands are exact below 2^53) and is set right by a product or two, cheaper than a 64-bit division.
    const uint64_t end = static_cast<uint64_t>(bin) << kFractionBits;
    auto below = static_cast<uint64_t>(static_cast<double>(end - 1) / static_cast<double>(step));
    while (below > 0 && below * step >= end)
        --below;
    while ((below + 1) * step < end)
        ++below;
    return static_cast<int32_t>(std::min<uint64_t>(kCombHarmonicLimit - 1, below));
}

bool TCombSteps::AnyNearWholeBin(int32_t count) const
{
    return ByVectorWidth(AnyNearWholeBinWide, AnyNearWholeBinNarrow, step, count);
}

TCombSteps CombSteps(double tone)
{
    const double spacing = std::max(tone, kBinHz) * kBinsPerHz;
    TCombSteps steps;
    if (!(spacing < kBinCount))
        return steps;
    steps.step = static_cast<uint64_t>(spacing * static_cast<double>(TCombSteps::kOne) + 0.5);
    steps.fitting = steps.HarmonicsBelow(kCombLastCentre + 1);
    return steps;
}

int32_t CombCentres(double tone, int32_t* centres)
{
    const TCombSteps steps = CombSteps(tone);
    // One harmonic beyond: near a whole bin its plain centre may still fit.
    const int32_t tried = std::min(kCombHarmonicLimit - 1, steps.fitting + 1);
    const double fundamental = std::max(tone, kBinHz);
    uint64_t position = 0;
    int32_t count = 0;
    for (int32_t i = 0; i < tried; ++i) {
        position += steps.step;
        centres[i] = TCombSteps::Centre(position);
        if (TCombSteps::NearWholeBin(position))
            centres[i] = static_cast<int32_t>((i + 1) * fundamental / kBinHz);
        count += centres[i] <= kCombLastCentre ? 1 : 0;
    }
    return count;
}
