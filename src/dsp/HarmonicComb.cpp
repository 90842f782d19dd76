#include "HarmonicComb.h"

#include <algorithm>

#include "WideVectors.h"

namespace {

constexpr double kBinsPerHz = 1.0 / kBinHz;

#if PARLANTO_WIDE_VECTORS
// AnyNearWholeBin eight harmonics at a time, four to a register.
PARLANTO_WIDE_TARGET bool AnyNearWholeBinWide(uint64_t step, int32_t count)
{
    constexpr uint64_t margin = TCombSteps::kWholeBinMargin;
    constexpr uint64_t fraction = TCombSteps::kOne - 1;
    using TPositions = uint64_t __attribute__((vector_size(32)));
    TPositions first = {step + margin, 2 * step + margin, 3 * step + margin, 4 * step + margin};
    TPositions second = first + 4 * step;
    const TPositions eightSteps = {8 * step, 8 * step, 8 * step, 8 * step};
    TPositions wrapped = {0, 0, 0, 0};
    for (int32_t h = 0; h < count; h += 8) {
        wrapped |= ((first & fraction) - 2 * margin) | ((second & fraction) - 2 * margin);
        first += eightSteps;
        second += eightSteps;
    }
    return ((wrapped[0] | wrapped[1] | wrapped[2] | wrapped[3]) >> 63) != 0;
}
#endif

}  // namespace

int32_t TCombSteps::HarmonicsBelow(int32_t bin) const
{
    if (step == 0)
        return 0;
    const uint64_t end = static_cast<uint64_t>(bin) << kFractionBits;
    return static_cast<int32_t>(std::min<uint64_t>(kCombHarmonicLimit - 1, (end - 1) / step));
}

bool TCombSteps::AnyNearWholeBin(int32_t count, bool wide) const
{
#if PARLANTO_WIDE_VECTORS
    if (wide)
        return AnyNearWholeBinWide(step, count);
#else
    static_cast<void>(wide);
#endif
    // Four harmonics at a time, two to a register. With the margin added, a position near a whole bin has a
    // fraction below twice the margin, and subtracting that wraps around to a number with the top bit set.
    using TPositions = uint64_t __attribute__((vector_size(16)));
    TPositions first = {step + kWholeBinMargin, 2 * step + kWholeBinMargin};
    TPositions second = first + 2 * step;
    const TPositions fourSteps = {4 * step, 4 * step};
    TPositions wrapped = {0, 0};
    for (int32_t h = 0; h < count; h += 4) {
        wrapped |= ((first & (kOne - 1)) - 2 * kWholeBinMargin) | ((second & (kOne - 1)) - 2 * kWholeBinMargin);
        first += fourSteps;
        second += fourSteps;
    }
    return ((wrapped[0] | wrapped[1]) >> 63) != 0;
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
