#pragma once
// Bark-like band layout of the 512-bin spectrum, spectral envelopes and their comparison,
// plus the correlation, sorting and activity helpers shared by the recognition stages.
#include <cstdint>

#include "NumericArrays.h"

constexpr int kBandCount = 128;           // band 0 (the DC bin) carries nothing
constexpr int kBinCount = 512;
constexpr double kBinHz = 21.533203125;   // 22050 Hz / 1024 points
constexpr double kBandStepBark = 0.15625; // upper band edges lie this far apart

double HzToBark(double hz);
double BarkToHz(double bark);
double BinToHz(int32_t bin);
double BandEdgeHz(int32_t band);

// The band layout, built once on first use and read-only afterwards.
const int16_t* BandBins();    // kBandCount widths in bins; band 0 starts at bin 0
const double* BandGains();    // kBandCount gains, all 1.0

// Positions 1..127 of bands, envelope and envelopeBytes from a 512-bin spectrum; position 0 is never written.
// A spectrum without energy in the bands leaves envelopeBytes as it was.
void BuildEnvelope(const double* spectrum, double* bands, double* envelope, uint8_t* envelopeBytes);

// Similarity of two 128-byte envelopes; the function in force can be replaced at run time.
using TEnvelopeCompare = double (*)(const uint8_t* a, const uint8_t* b);
extern TEnvelopeCompare EnvelopeCompare;   // starts as EnvelopeCorrelation
double CompareEnvelopes(const uint8_t* a, const uint8_t* b);   // throws ESovoError when none is set
double EnvelopeCorrelation(const uint8_t* a, const uint8_t* b);

void SortDoubles(TArrayOfDouble& values);   // ascending selection sort, in place
// Pearson correlation over the centred overlap of two series of possibly different lengths; 0 without variance.
double Correlate(const double* a, int32_t lengthA, const double* b, int32_t lengthB);
double MeanAbsDiff64(const int16_t* samples);   // 63 absolute steps of one hop, divided by 64
// The largest of values[from..to-1] and 0, for values that are no NaN and no -0. With lanes, four running
// maxima side by side, so that the comparisons do not wait for each other: for such values any order of taking
// maxima gives the same number.
double LargestOf(const double* values, int32_t from, int32_t to, bool lanes);
