#include "PeakLevels.h"

#include "LevelThreshold.h"
#include "PeakLevelsWide.h"
#include "WideVectors.h"

// The thresholds rise with the level, so the quotient's whole part is the answer unless a rounding moves it by
// one; the steps from there decide as the thresholds themselves do, and seldom run, so they rarely mislead the
// branch predictor as a walk down from the top level would on every bin.
int32_t PeakLevel(double value, double envelope, bool quick)
{
    const double ratio = value * kLevelDivisor / envelope;   // not a number for a zero over a zero: level 0
    int32_t level = ratio >= kFirstLevel ? kFirstLevel : ratio >= 0 ? static_cast<int32_t>(ratio) : 0;
    while (level < kFirstLevel && AboveLevel(value, (level + 1) * envelope, kLevelDivisor, quick))
        ++level;
    while (level > 0 && !AboveLevel(value, level * envelope, kLevelDivisor, quick))
        --level;
    return level;
}

namespace {

void PeakLevelsOneByOne(const double* values, const double* envelope, int32_t from, int32_t to, int32_t* levels,
                        bool quick)
{
    for (int32_t k = from; k < to; ++k)
        levels[k] = PeakLevel(values[k], envelope[k], quick);
}

void QuickPeakLevelsOneByOne(const double* values, const double* envelope, int32_t from, int32_t to, int32_t* levels)
{
    PeakLevelsOneByOne(values, envelope, from, to, levels, true);
}

}  // namespace

void PeakLevels(const double* values, const double* envelope, int32_t from, int32_t to, int32_t* levels, bool quick)
{
    if (quick)
        ByVectorWidth(PeakLevelsWide, QuickPeakLevelsOneByOne, values, envelope, from, to, levels);
    else
        PeakLevelsOneByOne(values, envelope, from, to, levels, false);
}
