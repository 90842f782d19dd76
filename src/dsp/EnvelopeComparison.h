#pragma once
// The similarity of two 128-byte envelopes (position 0 carries nothing). The comparison in force can be
// replaced at run time; it starts as EnvelopeCorrelation, the plain statement, which the phoneme layer's fast
// path computes as PreparedCorrelation.
#include <cstdint>

#include "BarkBands.h"

using TEnvelopeCompare = double (*)(const uint8_t* a, const uint8_t* b);
extern TEnvelopeCompare EnvelopeCompare;   // starts as EnvelopeCorrelation
double CompareEnvelopes(const uint8_t* a, const uint8_t* b);   // throws ESovoError when none is set
// Pearson correlation of the two byte arrays with position 0 counted as 0 in both.
double EnvelopeCorrelation(const uint8_t* a, const uint8_t* b);

// A byte envelope made ready to be correlated with many others: widened to 16 bits (position 0 as zero, since
// it carries nothing) with its sums and its side of the correlation formula taken once. The correlation of two
// prepared envelopes is the value of EnvelopeCorrelation for the original bytes, to the bit: the same integer
// sums, the same formula.
struct TPreparedEnvelope {
    alignas(16) int16_t Values[kBandCount] = {};
    int32_t Sum = 0;
    int32_t Squares = 0;
    double Root = 0.0;   // DeviationRoot of the values
};

TPreparedEnvelope PrepareEnvelope(const uint8_t* envelope);
double PreparedCorrelation(const TPreparedEnvelope& a, const TPreparedEnvelope& b);
