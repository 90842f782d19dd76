// Spectral envelopes on the Bark band layout and their comparison.
#include "SovoEnvelope.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ArithmeticPath.h"
#include "DoublePair.h"
#include "NearestInteger.h"
#include "PearsonCorrelation.h"
#include "SovoError.h"
#include "WideVectors.h"

namespace {

constexpr int kSpreadReach = 5;   // bands on each side that a band's value reaches, fading by sixths
// Bands with all their neighbours inside bands 1..127, an even number of them from the first on.
constexpr int kFirstInnerBand = 1 + kSpreadReach;
constexpr int kInnerBandEnd = kFirstInnerBand + (kBandCount - kSpreadReach - kFirstInnerBand) / 2 * 2;

// Bands 1..127 as bytes, 255 at the peak: T lanes of bands at a time from band from on, as far as whole groups
// reach; returns where they stop. Each lane takes the same steps as a band alone.
template <class T>
PARLANTO_LANES_INLINE int ScaleToBytes(const double* envelope, double peak, int from, uint8_t* bytes)
{
    int band = from;
    for (; band + kLanes<T> <= kBandCount; band += kLanes<T>) {
        double scaled[kLanes<T>];
        StoreLanes(scaled, 255 * LoadLanes(envelope + band, T{}) / peak);
        for (int lane = 0; lane < kLanes<T>; ++lane)
            bytes[band + lane] = static_cast<uint8_t>(NearestInteger(scaled[lane]));
    }
    return band;
}

#if PARLANTO_WIDE_VECTORS
PARLANTO_WIDE_TARGET int ScaleToBytesWide(const double* envelope, double peak, uint8_t* bytes)
{
    return ScaleToBytes<TDoubleQuad>(envelope, peak, 1, bytes);
}
#endif

}  // namespace

TEnvelopeCompare EnvelopeCompare = EnvelopeCorrelation;

void BuildEnvelope(const double* spectrum, double* bands, double* envelope, uint8_t* envelopeBytes)
{
    const int16_t* bandBins = BandBins();
    const double* bandGains = BandGains();
    int32_t bin = bandBins[0];   // the DC band is skipped
    for (int band = 1; band < kBandCount; ++band) {
        double sum = 0.0;
        for (int32_t end = bin + bandBins[band]; bin < end; ++bin)
            sum += spectrum[bin];
        bands[band] = NearestInteger(sum * bandGains[band]);
    }

    // Triangular maximum filter: a band's value reaches its neighbours at (6 - distance) / 6 of its height.
    // Where all neighbours exist, two bands are done together.
    const auto weight = [](int j) { return static_cast<double>(kSpreadReach + 1 - std::abs(j)) / (kSpreadReach + 1); };
    for (int band = 1; band < kBandCount; ++band) {
        if (band >= kFirstInnerBand && band < kInnerBandEnd)
            continue;
        double spread = 0.0;
        for (int j = std::max(-kSpreadReach, 1 - band); j <= std::min(kSpreadReach, kBandCount - 1 - band); ++j)
            spread = std::max(spread, weight(j) * bands[band + j]);
        envelope[band] = spread;
    }
    for (int band = kFirstInnerBand; band < kInnerBandEnd; band += 2) {
        TDoublePair spread{0.0, 0.0};
        for (int j = -kSpreadReach; j <= kSpreadReach; ++j)
            spread = MaxPair(spread, weight(j) * LoadPair(bands + band + j));
        StorePair(envelope + band, spread);
    }

    double peak = 0.0;
    for (int band = 1; band < kBandCount; ++band)
        peak = std::max(peak, envelope[band]);
    if (peak == 0)
        return;   // silence: the byte form keeps its previous contents
    int band = 1;
    if (ArithmeticPath() == TArithmeticPath::Fast) {
#if PARLANTO_WIDE_VECTORS
        if (WideVectors())
            band = ScaleToBytesWide(envelope, peak, envelopeBytes);
#endif
        band = ScaleToBytes<TDoublePair>(envelope, peak, band, envelopeBytes);
    }
    ScaleToBytes<double>(envelope, peak, band, envelopeBytes);
}

double CompareEnvelopes(const uint8_t* a, const uint8_t* b)
{
    if (EnvelopeCompare == nullptr)
        throw ESovoError("Не определена функция сравнеия огибающих.");
    return EnvelopeCompare(a, b);
}

double EnvelopeCorrelation(const uint8_t* a, const uint8_t* b)
{
    // Exact integer sums over the carrying positions; position 0 counts as a zero in both (hence n = 128).
    int64_t sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int i = 1; i < kBandCount; ++i) {
        const int32_t x = a[i];
        const int32_t y = b[i];
        sa += x;
        sb += y;
        saa += x * x;
        sbb += y * y;
        sab += x * y;
    }
    return PearsonFromSums(kBandCount, static_cast<double>(sa), static_cast<double>(sb), static_cast<double>(saa),
                           static_cast<double>(sbb), static_cast<double>(sab));
}
