#pragma once
// The Bark-like band layout of the kBinCount-bin spectrum: band edges kBandStepBark apart up to about 6.25 kHz,
// built once on first use and read-only afterwards, and the scale conversions it is built from.
#include <cstdint>

#include "SignalFormat.h"

constexpr int32_t kBandCount = 128;       // band 0 (the DC bin) carries nothing
constexpr double kBandStepBark = 0.15625; // upper band edges lie this far apart

double HzToBark(double hz);
double BarkToHz(double bark);
double BinToHz(int32_t bin);
double BandEdgeHz(int32_t band);

const int16_t* BandBins();    // kBandCount widths in bins; band 0 starts at bin 0
const double* BandGains();    // kBandCount gains, all 1.0
