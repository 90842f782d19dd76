#pragma once
// The quick peak levels four bins a step, compiled for AVX2 (call it only where WideVectors() allows).
#include <cstdint>

// Bins from .. to - 1 into levels[from .. to - 1], each exactly PeakLevel(values[k], envelope[k], true).
void PeakLevelsWide(const double* values, const double* envelope, int32_t from, int32_t to, int32_t* levels);
