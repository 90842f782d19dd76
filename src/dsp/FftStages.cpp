#include "FftStages.h"

#include <algorithm>

#include "ArithmeticPath.h"
#include "FftButterflies.h"
#include "FftLastStages.h"
#include "WideVectors.h"

TStageTwiddles MakeStageTwiddles(const std::vector<double>& sinTable, int32_t order)
{
    const int32_t size = int32_t{1} << order;
    TStageTwiddles twiddles;
    for (int32_t span = size / 2, groups = 1; span >= 1; span /= 2, groups *= 2) {
        for (int32_t g = 0; g < span; ++g) {
            const int32_t t = g * groups;
            twiddles.cos.push_back(sinTable[(t + size / 4) & (size - 1)]);
            twiddles.sin.push_back(sinTable[t]);
        }
    }
    return twiddles;
}

template <TDirection direction>
void ReferenceStages(double* re, double* im, const double* sinTable, int32_t order)
{
    const int32_t size = int32_t{1} << order;
    const int32_t quarter = size / 4;
    int32_t span = size / 2;
    int32_t groups = 1;
    for (int32_t stage = 0; stage < order; ++stage) {
        for (int32_t e = 0; e < groups; ++e) {
            for (int32_t k = 0; k < span; ++k) {
                const int32_t i1 = 2 * e * span + k;
                const int32_t i2 = i1 + span;
                Butterfly<direction>(re[i1], im[i1], re[i2], im[i2]);
            }
        }
        if (groups != size / 2) {
            for (int32_t e = 0; e < groups; ++e) {
                for (int32_t g = 1; g < span; ++g) {
                    const int32_t idx = 2 * e * span + span + g;
                    const int32_t t = g * groups;
                    Rotate<direction>(re[idx], im[idx], sinTable[(t + quarter) & (size - 1)], sinTable[t]);
                }
            }
        }
        span /= 2;
        groups *= 2;
    }
}

namespace {

// The first stage's butterfly and rotation of an analysis of real values: the imaginary parts are +0 and are
// not read. The terms of those zeros are left out, which can change the sign of a zero result and nothing else;
// from there on a zero only ever meets other values in sums and products, where its sign makes no difference
// to any value that is not zero, and a magnitude squares it away.
template <bool firstLaneStays, class T>
PARLANTO_LANES_INLINE void RealFirstStage(T& r1, T& i1, T& r2, T& i2, T wc, T ws)
{
    const T ar = (r1 + r2) / 2;
    const T difference = ar - r2;
    r1 = ar;
    i1 = T{};
    r2 = difference * wc;
    i2 = difference * ws;
    if constexpr (firstLaneStays) {
        r2 = WithFirstLaneOf(r2, difference);
        i2 = WithFirstLaneOf(i2, T{});
    }
}

// Two stages at once, spans d and d / 2 (d at least 16), so that each value is loaded and stored once for both.
// In every group of 2d positions, a = k, b = k + d/2, c = k + d and e = k + 3d/2 (k < d/2): the first stage
// pairs a with c and b with e and rotates c and e, the second pairs a with b and c with e and rotates b and e.
// Every value goes through the same operations in the same order as stage by stage.
template <TDirection direction, bool realInput, bool firstLaneStays, class T>
PARLANTO_LANES_INLINE void StagePairAt(T& ra, T& ia, T& rb, T& ib, T& rc, T& ic, T& re, T& ie, T wc1c, T ws1c,
                                       T wc1e, T ws1e, T wc2, T ws2)
{
    if constexpr (realInput) {
        static_assert(direction == TDirection::Analysis);
        RealFirstStage<firstLaneStays>(ra, ia, rc, ic, wc1c, ws1c);
        RealFirstStage<false>(rb, ib, re, ie, wc1e, ws1e);
    } else {
        Butterfly<direction>(ra, ia, rc, ic);
        RotateLanes<direction, firstLaneStays>(rc, ic, wc1c, ws1c);
        Butterfly<direction>(rb, ib, re, ie);
        Rotate<direction>(re, ie, wc1e, ws1e);
    }
    Butterfly<direction>(ra, ia, rb, ib);
    Butterfly<direction>(rc, ic, re, ie);
    RotateLanes<direction, firstLaneStays>(rb, ib, wc2, ws2);
    RotateLanes<direction, firstLaneStays>(re, ie, wc2, ws2);
}

// The imaginary parts at i, or zeros for a real input, which are not read.
template <bool realInput, class T>
PARLANTO_LANES_INLINE T LoadImaginary(const double* i)
{
    if constexpr (realInput)
        return T{};
    else
        return LoadLanes(i, T{});
}

// The stage pair at positions k .. k + lanes - 1 of the group whose quarters start at r[] and i[].
template <TDirection direction, bool realInput, bool firstLaneStays, class T>
PARLANTO_LANES_INLINE void StagePairStep(double* const r[4], double* const i[4], const double* wc1, const double* ws1,
                                         const double* wc2, const double* ws2, int32_t half, int32_t k)
{
    T ra = LoadLanes(r[0] + k, T{}), rb = LoadLanes(r[1] + k, T{}), rc = LoadLanes(r[2] + k, T{});
    T rx = LoadLanes(r[3] + k, T{});
    T ia = LoadImaginary<realInput, T>(i[0] + k), ib = LoadImaginary<realInput, T>(i[1] + k);
    T ic = LoadImaginary<realInput, T>(i[2] + k), ix = LoadImaginary<realInput, T>(i[3] + k);
    StagePairAt<direction, realInput, firstLaneStays, T>(ra, ia, rb, ib, rc, ic, rx, ix, LoadLanes(wc1 + k, T{}),
                                                         LoadLanes(ws1 + k, T{}), LoadLanes(wc1 + k + half, T{}),
                                                         LoadLanes(ws1 + k + half, T{}), LoadLanes(wc2 + k, T{}),
                                                         LoadLanes(ws2 + k, T{}));
    StoreLanes(r[0] + k, ra);
    StoreLanes(i[0] + k, ia);
    StoreLanes(r[1] + k, rb);
    StoreLanes(i[1] + k, ib);
    StoreLanes(r[2] + k, rc);
    StoreLanes(i[2] + k, ic);
    StoreLanes(r[3] + k, rx);
    StoreLanes(i[3] + k, ix);
}

// Every group's first vectors start at position 0, which is never rotated.
template <TDirection direction, bool realInput, class T>
PARLANTO_LANES_INLINE void StagePair(double* re, double* im, const double* wc1, const double* ws1, const double* wc2,
                                     const double* ws2, int32_t size, int32_t span)
{
    const int32_t half = span / 2;
    for (int32_t base = 0; base < size; base += 2 * span) {
        double* const r[4] = {re + base, re + base + half, re + base + span, re + base + span + half};
        double* const i[4] = {im + base, im + base + half, im + base + span, im + base + span + half};
        StagePairStep<direction, realInput, true, T>(r, i, wc1, ws1, wc2, ws2, half, 0);
        for (int32_t k = kLanes<T>; k < half; k += kLanes<T>)
            StagePairStep<direction, realInput, false, T>(r, i, wc1, ws1, wc2, ws2, half, k);
    }
}

// All stages on re and im, T the widest lanes: stage pairs, then the last stages (FftLastStages.h) from the
// span where the pairs end. An analysis is one of real values in re; their imaginary parts are not read.
template <TDirection direction, class T>
PARLANTO_LANES_INLINE void Stages(double* re, double* im, const TStageTwiddles& twiddles, int32_t order,
                                  const TOrderedValues& out, double* magnitudes)
{
    constexpr bool realInput = direction == TDirection::Analysis;
    const int32_t size = int32_t{1} << order;
    const double* wc = twiddles.cos.data();
    const double* ws = twiddles.sin.data();
    const int32_t lastSpan = LastStagesBlock(order) / 2;
    // Without a stage pair to leave them out, the last stages take the imaginary parts as the zeros they are.
    if (realInput && size / 2 == lastSpan)
        std::fill(im, im + size, 0.0);
    for (int32_t span = size / 2; span > lastSpan; span /= 4) {
        if (span == size / 2)
            StagePair<direction, realInput, T>(re, im, wc, ws, wc + span, ws + span, size, span);
        else
            StagePair<direction, false, T>(re, im, wc, ws, wc + span, ws + span, size, span);
        wc += span + span / 2;
        ws += span + span / 2;
    }
    LastStages<direction, T>(re, im, wc, ws, order, out, magnitudes);
}

// The fast transform in vectors of T: the samples, if given, converted to the real parts first (in the same
// vectors), then the stages.
template <TDirection direction, class T>
PARLANTO_LANES_INLINE void Transform(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles,
                                     int32_t order, const TOrderedValues& out, double* magnitudes)
{
    if (samples != nullptr) {
        for (int32_t n = 0; n < (int32_t{1} << order); ++n)
            re[n] = samples[n];
    }
    Stages<direction, T>(re, im, twiddles, order, out, magnitudes);
}

template <TDirection direction>
void PairTransform(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles, int32_t order,
                   const TOrderedValues& out, double* magnitudes)
{
    Transform<direction, TDoublePairValue>(samples, re, im, twiddles, order, out, magnitudes);
}

template <TDirection direction>
PARLANTO_WIDE_TARGET void QuadTransform(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles,
                                        int32_t order, const TOrderedValues& out, double* magnitudes)
{
    Transform<direction, TDoubleQuad>(samples, re, im, twiddles, order, out, magnitudes);
}

template <TDirection direction>
void FastTransform(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles, int32_t order,
                   const TOrderedValues& out, double* magnitudes)
{
    ByVectorWidth(QuadTransform<direction>, PairTransform<direction>, samples, re, im, twiddles, order, out,
                  magnitudes);
}

}  // namespace

void FastRealAnalysis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, const TOrderedValues& bins,
                      double* magnitudes)
{
    FastTransform<TDirection::Analysis>(nullptr, re, im, twiddles, order, bins, magnitudes);
}

void FastRealAnalysis(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles, int32_t order,
                      const TOrderedValues& bins, double* magnitudes)
{
    FastTransform<TDirection::Analysis>(samples, re, im, twiddles, order, bins, magnitudes);
}

void FastSynthesis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, const TOrderedValues& points)
{
    FastTransform<TDirection::Synthesis>(nullptr, re, im, twiddles, order, points, nullptr);
}

template void ReferenceStages<TDirection::Analysis>(double*, double*, const double*, int32_t);
template void ReferenceStages<TDirection::Synthesis>(double*, double*, const double*, int32_t);
