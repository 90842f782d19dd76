#pragma once
// The level at which peak picking takes a bin: the highest level 1..kFirstLevel whose threshold
// level * envelope / kLevelDivisor the bin's value exceeds, or 0 when it exceeds none.
#include <cstdint>

constexpr int32_t kFirstLevel = 10;       // the first pass takes bins above 10/11 of the envelope
constexpr double kLevelDivisor = 11.0;

// One bin; quick as for AboveLevel (LevelThreshold.h).
int32_t PeakLevel(double value, double envelope, bool quick);
// Bins from .. to - 1 into levels[from .. to - 1], as PeakLevel; quick ones four bins a step where the
// processor allows (PeakLevelsWide.h).
void PeakLevels(const double* values, const double* envelope, int32_t from, int32_t to, int32_t* levels, bool quick);
