#pragma once
// A byte envelope made ready to be correlated with many others: widened to 16 bits (position 0 as zero, since
// it carries nothing) with its sums and its side of the correlation formula taken once. The correlation of two prepared envelopes is the value of
// EnvelopeCorrelation for the original bytes, to the bit: the same integer sums, the same formula.
#include <cstdint>

#include "SovoEnvelope.h"

struct TPreparedEnvelope {
    alignas(16) int16_t Values[kBandCount] = {};
    int32_t Sum = 0;
    int32_t Squares = 0;
    double Root = 0.0;   // DeviationRoot of the values
};

TPreparedEnvelope PrepareEnvelope(const uint8_t* envelope);
double PreparedCorrelation(const TPreparedEnvelope& a, const TPreparedEnvelope& b);
