#pragma once
// Spectral envelopes on the Bark band layout: band sums, spread by a triangular maximum filter, scaled to bytes.
#include <cstdint>

#include "BarkBands.h"

// Positions 1..127 of bands, envelope and envelopeBytes from a kBinCount-bin spectrum; position 0 is never
// written. A spectrum without energy in the bands leaves envelopeBytes as it was.
void BuildEnvelope(const double* spectrum, double* bands, double* envelope, uint8_t* envelopeBytes);
