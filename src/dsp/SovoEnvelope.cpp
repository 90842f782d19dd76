#include "SovoEnvelope.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ArithmeticPath.h"
#include "DoublePair.h"
#include "NearestInteger.h"
#include "WideVectors.h"

namespace {

constexpr int kSpreadReach = 5;   // bands on each side that a band's value reaches, fading by sixths
// Bands with all their neighbours inside bands 1..127, an even number of them from the first on.
constexpr int kFirstInnerBand = 1 + kSpreadReach;
constexpr int kInnerBandEnd = kFirstInnerBand + (kBandCount - kSpreadReach - kFirstInnerBand) / 2 * 2;

// The triangular maximum filter, plainly: a band's value reaches its neighbours at (6 - distance) / 6 of its
// height, and each band takes the largest value that reaches it. The weights by offset j + 5 (j = -5..5).
constexpr auto kSpreadWeights = [] {
    std::array<double, 2 * kSpreadReach + 1> weights{};
    for (int j = -kSpreadReach; j <= kSpreadReach; ++j)
        weights[j + kSpreadReach] = static_cast<double>(kSpreadReach + 1 - (j < 0 ? -j : j)) / (kSpreadReach + 1);
    return weights;
}();

double SpreadAt(const double* bands, int band)
{
    double spread = 0.0;
    for (int j = std::max(-kSpreadReach, 1 - band); j <= std::min(kSpreadReach, kBandCount - 1 - band); ++j)
        spread = std::max(spread, kSpreadWeights[j + kSpreadReach] * bands[band + j]);
    return spread;
}

// A band's value as a byte, 255 at the peak.
uint8_t ScaledByte(double value, double peak)
{
    return static_cast<uint8_t>(std::nearbyint(255 * value / peak));
}

// The fast scaling, T lanes of bands at a time from band from on, as far as whole groups reach; returns where
// they stop. Each lane takes ScaledByte's steps (NearestInteger rounds as nearbyint does for these values).
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

PARLANTO_WIDE_TARGET void ScaleToBytesWide(const double* envelope, double peak, uint8_t* bytes)
{
    const int quadsEnd = ScaleToBytes<TDoubleQuad>(envelope, peak, 1, bytes);
    ScaleToBytes<double>(envelope, peak, ScaleToBytes<TDoublePair>(envelope, peak, quadsEnd, bytes), bytes);
}

void ScaleToBytesNarrow(const double* envelope, double peak, uint8_t* bytes)
{
    ScaleToBytes<double>(envelope, peak, ScaleToBytes<TDoublePair>(envelope, peak, 1, bytes), bytes);
}

}  // namespace

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

    // Triangular maximum filter. On the fast path, where all neighbours exist, two bands are done together, each
    // lane taking SpreadAt's terms in its order.
    const bool fast = ArithmeticPath() == TArithmeticPath::Fast;
    for (int band = 1; band < kBandCount; ++band) {
        if (!fast || band < kFirstInnerBand || band >= kInnerBandEnd)
            envelope[band] = SpreadAt(bands, band);
    }
    if (fast) {
        for (int band = kFirstInnerBand; band < kInnerBandEnd; band += 2) {
            TDoublePair spread{0.0, 0.0};
            for (int j = -kSpreadReach; j <= kSpreadReach; ++j)
                spread = MaxPair(spread, kSpreadWeights[j + kSpreadReach] * LoadPair(bands + band + j));
            StorePair(envelope + band, spread);
        }
    }

    double peak = 0.0;
    for (int band = 1; band < kBandCount; ++band)
        peak = std::max(peak, envelope[band]);
    if (peak == 0)
        return;   // silence: the byte form keeps its previous contents
    if (fast) {
        ByVectorWidth(ScaleToBytesWide, ScaleToBytesNarrow, envelope, peak, envelopeBytes);
        return;
    }
    for (int band = 1; band < kBandCount; ++band)
        envelopeBytes[band] = ScaledByte(envelope[band], peak);
}
