#pragma once
// Windowing of 16-bit frames: each sample times its window weight, rounded to the nearest sample (ties to
// even). The fast path takes four samples at a time where the processor allows, two elsewhere.
#include <cstdint>

void ApplyWindow(int16_t* samples, const double* window, int32_t count);
