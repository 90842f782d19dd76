// Spectral envelopes on the Bark band layout and their comparison.
#include "SovoEnvelope.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "PearsonCorrelation.h"
#include "SovoError.h"

namespace {

constexpr int kSpreadReach = 5;   // bands on each side that a band's value reaches, fading by sixths

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
        bands[band] = std::nearbyint(sum * bandGains[band]);
    }

    // Triangular maximum filter: a band's value reaches its neighbours at (6 - distance) / 6 of its height.
    for (int band = 1; band < kBandCount; ++band) {
        double spread = 0.0;
        for (int j = -kSpreadReach; j <= kSpreadReach; ++j) {
            const int neighbour = band + j;
            if (neighbour < 1 || neighbour >= kBandCount)
                continue;
            const double weight = static_cast<double>(kSpreadReach + 1 - std::abs(j)) / (kSpreadReach + 1);
            spread = std::max(spread, weight * bands[neighbour]);
        }
        envelope[band] = spread;
    }

    double peak = 0.0;
    for (int band = 1; band < kBandCount; ++band)
        peak = std::max(peak, envelope[band]);
    if (peak == 0)
        return;   // silence: the byte form keeps its previous contents
    for (int band = 1; band < kBandCount; ++band)
        envelopeBytes[band] = static_cast<uint8_t>(std::nearbyint(255 * envelope[band] / peak));
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
