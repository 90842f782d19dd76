#pragma once
// The envelope that the tone estimator's peaks must stand out of: the spectrum normalised to its peak, spread by
// a triangular maximum filter, smoothed by a raised-cosine average and normalised again, over bins 2..511.
#include <cstdint>

constexpr int32_t kFirstToneBin = 2;   // bins 0 and 1 (DC and its neighbour) never count

// normalized = the kBinCount values of spectrum divided by their peak; spread[2..] = their triangular maximum
// over bins k-8 .. k+7 (weights (8 - |l|) / 8); smoothed[2..] = the raised-cosine average of spread over the same
// bins (the window cut short at either end), divided by its own peak. A spectrum without energy leaves spread and
// smoothed as they were (normalized then holds its zeros); a smoothing without energy is left undivided.
void NormaliseAndSmooth(const double* spectrum, double* normalized, double* spread, double* smoothed);
