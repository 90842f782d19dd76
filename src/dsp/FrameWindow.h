#pragma once
// Windowing of 16-bit frames: each sample times its window weight, rounded to the nearest sample (ties to
// even). Four samples at a time where the processor allows (WideVectors), the same operations either way.
#include <cstdint>

void ApplyWindow(int16_t* samples, const double* window, int32_t count);
