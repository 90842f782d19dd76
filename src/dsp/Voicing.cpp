// Voicing: how periodic a block of samples is at the period of a given tone.
#include <algorithm>
#include <cmath>

#include "ArithmeticPath.h"
#include "PearsonCorrelation.h"
#include "SampleProducts.h"
#include "SignalFormat.h"
#include "SovoUtils.h"

namespace {

constexpr double kMinLagReach = 7.0;   // lags tried on each side of the period, at least this many

// Pearson correlation of two runs of count samples; the products are exact in 32 bits, the sums doubles.
double CorrelateSamples(const int16_t* x, const int16_t* y, int32_t count)
{
    return TIntegerPearsonSums<double>(x, y, count).Pearson(count);
}

// The plain sums above add whole numbers far below 2^53, so every partial sum is exact and they equal the
// integer sums formed here in any order.
int64_t SampleSum(const int16_t* x, int32_t count)
{
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        sum += x[i];
    return sum;
}

// Best correlation of samples[0..window-1] with samples[lag..lag+window-1] over the lags, at least 0. The
// first run's sums are the same for every lag and the second run's slide with it.
double BestLagCorrelation(const int16_t* samples, int32_t firstLag, int32_t endLag, int32_t window)
{
    const int32_t groups = GroupsPerBlock(samples, endLag - 1 + window);
    const auto sx = static_cast<double>(SampleSum(samples, window));
    const double rootX = DeviationRoot(window, sx, static_cast<double>(ProductSum(samples, samples, window, groups)));
    int64_t sy = SampleSum(samples + firstLag, window);
    int64_t syy = ProductSum(samples + firstLag, samples + firstLag, window, groups);
    double best = 0.0;
    for (int32_t lag = firstLag; lag < endLag; ++lag) {
        if (lag > firstLag) {
            const int64_t leaving = samples[lag - 1];
            const int64_t entering = samples[lag - 1 + window];
            sy += entering - leaving;
            syy += entering * entering - leaving * leaving;
        }
        const auto sxy = static_cast<double>(ProductSum(samples, samples + lag, window, groups));
        const double rootY = DeviationRoot(window, static_cast<double>(sy), static_cast<double>(syy));
        best = std::max(best, PearsonFromRoots(window, sx, static_cast<double>(sy), rootX, rootY, sxy));
    }
    return best;
}

}  // namespace

double Voicing(const int16_t* samples, int32_t count, double mainTone)
{
    // A tone that is not positive has no period. The tone estimator can produce one when silent frames make it
    // rework its stale candidate list.
    if (!(mainTone > 0))
        return 0.0;
    // Kept in floating point until the sample count has bounded them: a very low tone has a huge period.
    const double period = std::nearbyint(kSampleRate / mainTone);
    const double reach = std::max(std::min(kMinLagReach, period), std::nearbyint(period / 10));
    if (count <= 2.5 * period + reach || reach <= 0)
        return 0.0;

    // One and a half periods of the block against themselves shifted by lags around one period.
    const int32_t p = static_cast<int32_t>(period);
    const int32_t n = static_cast<int32_t>(reach);
    const int32_t window = p + p / 2;
    if (ArithmeticPath() == TArithmeticPath::Fast)
        return BestLagCorrelation(samples, p - n, p + n, window);
    double best = 0.0;
    for (int32_t lag = p - n; lag < p + n; ++lag)
        best = std::max(best, CorrelateSamples(samples, samples + lag, window));
    return best;
}
