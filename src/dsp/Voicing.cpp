// Voicing: how periodic a block of samples is at the period of a given tone.
#include <algorithm>
#include <cmath>

#include "PearsonCorrelation.h"
#include "SovoUtils.h"

namespace {

constexpr double kSampleRateHz = 22050.0;
constexpr double kMinLagReach = 7.0;   // lags tried on each side of the period, at least this many

// Pearson correlation of two runs of count samples; the products are exact in 32 bits.
double CorrelateSamples(const int16_t* x, const int16_t* y, int32_t count)
{
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t a = x[i];
        const int32_t b = y[i];
        sx += a;
        sy += b;
        sxx += a * a;
        syy += b * b;
        sxy += a * b;
    }
    return PearsonFromSums(count, sx, sy, sxx, syy, sxy);
}

}  // namespace

double Voicing(const int16_t* samples, int32_t count, double mainTone)
{
    // A tone that is not positive has no period. The tone estimator can produce one when silent frames make it
    // rework its stale candidate list.
    if (!(mainTone > 0))
        return 0.0;
    // Kept in floating point until the sample count has bounded them: a very low tone has a huge period.
    const double period = std::nearbyint(kSampleRateHz / mainTone);
    const double reach = std::max(std::min(kMinLagReach, period), std::nearbyint(period / 10));
    if (count <= 2.5 * period + reach || reach <= 0)
        return 0.0;

    // One and a half periods of the block against themselves shifted by lags around one period.
    const int32_t p = static_cast<int32_t>(period);
    const int32_t n = static_cast<int32_t>(reach);
    const int32_t window = p + p / 2;
    double best = 0.0;
    for (int32_t lag = p - n; lag < p + n; ++lag)
        best = std::max(best, CorrelateSamples(samples, samples + lag, window));
    return best;
}
