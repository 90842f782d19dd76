#include "FftStages.h"

#include "ArithmeticPath.h"
#include "DoublePair.h"
#include "WideVectors.h"

namespace {

// Written once for single doubles and for pairs and quads of them: the same operations in each lane.
template <TDirection direction, class T>
PARLANTO_LANES_INLINE void Butterfly(T& r1, T& i1, T& r2, T& i2)
{
    if constexpr (direction == TDirection::Analysis) {
        const T ar = (r1 + r2) / 2;
        const T ai = (i1 + i2) / 2;
        r1 = ar;
        i1 = ai;
        r2 = ar - r2;
        i2 = ai - i2;
    } else {
        const T ar = r1 + r2;
        const T ai = i1 + i2;
        r1 = ar;
        i1 = ai;
        r2 = ar - 2 * r2;
        i2 = ai - 2 * i2;
    }
}

template <TDirection direction, class T>
PARLANTO_LANES_INLINE void Rotate(T& r, T& i, T wc, T ws)
{
    const T oldR = r;
    const T oldI = i;
    if constexpr (direction == TDirection::Analysis) {
        r = oldR * wc - oldI * ws;
        i = oldI * wc + oldR * ws;
    } else {
        r = oldR * wc + oldI * ws;
        i = oldI * wc - oldR * ws;
    }
}

}  // namespace

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

// Two stages at once, spans d and d / 2 (d at least 8), so that each value is loaded and stored once for both.
// In every group of 2d positions, a = k, b = k + d/2, c = k + d and e = k + 3d/2 (k < d/2): the first stage
// pairs a with c and b with e and rotates c and e, the second pairs a with b and c with e and rotates b and e.
// Every value goes through the same operations in the same order as stage by stage. Position k = 0 of a span
// is never rotated, so k = 0 and 1 are done alone and the rest two at a time.
// The first stage's butterfly and rotation of an analysis of real values: the imaginary parts are +0 and are
// not read. The terms of those zeros are left out, which can change the sign of a zero result and nothing else;
// from there on a zero only ever meets other values in sums and products, where its sign makes no difference
// to any value that is not zero, and a magnitude squares it away.
template <class T>
PARLANTO_LANES_INLINE void RealFirstStage(T& r1, T& i1, T& r2, T& i2, bool rotate, T wc, T ws)
{
    const T ar = (r1 + r2) / 2;
    r1 = ar;
    r2 = ar - r2;
    i1 = T{};
    i2 = rotate ? r2 * ws : T{};
    r2 = rotate ? r2 * wc : r2;
}

template <TDirection direction, bool realInput, class T>
PARLANTO_LANES_INLINE void StagePairAt(T& ra, T& ia, T& rb, T& ib, T& rc, T& ic, T& re, T& ie, bool rotateFirst, T wc1c, T ws1c,
                        T wc1e, T ws1e, T wc2, T ws2)
{
    if constexpr (realInput) {
        static_assert(direction == TDirection::Analysis);
        RealFirstStage(ra, ia, rc, ic, rotateFirst, wc1c, ws1c);
        RealFirstStage(rb, ib, re, ie, true, wc1e, ws1e);
    } else {
        Butterfly<direction>(ra, ia, rc, ic);
        if (rotateFirst)
            Rotate<direction>(rc, ic, wc1c, ws1c);
        Butterfly<direction>(rb, ib, re, ie);
        Rotate<direction>(re, ie, wc1e, ws1e);
    }
    Butterfly<direction>(ra, ia, rb, ib);
    Butterfly<direction>(rc, ic, re, ie);
    if (rotateFirst) {
        Rotate<direction>(rb, ib, wc2, ws2);
        Rotate<direction>(re, ie, wc2, ws2);
    }
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

// Positions k = from .. to - 1 of the group whose four quarters start at r[] and i[], T lanes at a time
// (rotateFirst is false only for position 0, which is never rotated).
template <TDirection direction, bool realInput, class T>
PARLANTO_LANES_INLINE void StagePairLanes(double* const r[4], double* const i[4], const double* wc1, const double* ws1,
                                          const double* wc2, const double* ws2, int32_t half, int32_t from, int32_t to,
                                          bool rotateFirst)
{
    for (int32_t k = from; k < to; k += kLanes<T>) {
        T ra = LoadLanes(r[0] + k, T{}), rb = LoadLanes(r[1] + k, T{}), rc = LoadLanes(r[2] + k, T{}), rx = LoadLanes(r[3] + k, T{});
        T ia = LoadImaginary<realInput, T>(i[0] + k), ib = LoadImaginary<realInput, T>(i[1] + k);
        T ic = LoadImaginary<realInput, T>(i[2] + k), ix = LoadImaginary<realInput, T>(i[3] + k);
        StagePairAt<direction, realInput>(ra, ia, rb, ib, rc, ic, rx, ix, rotateFirst, LoadLanes(wc1 + k, T{}), LoadLanes(ws1 + k, T{}),
                               LoadLanes(wc1 + k + half, T{}), LoadLanes(ws1 + k + half, T{}), LoadLanes(wc2 + k, T{}),
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
}

// Positions 0 and 1 alone, then pairs; with quads, one pair and then quads (half is at least 4).
template <TDirection direction, bool realInput, class TWidest>
PARLANTO_LANES_INLINE void StagePairGroups(double* re, double* im, const double* wc1, const double* ws1,
                                           const double* wc2, const double* ws2, int32_t size, int32_t span)
{
    const int32_t half = span / 2;
    const int32_t pairsEnd = std::is_same_v<TWidest, TDoubleQuad> ? 4 : half;
    for (int32_t base = 0; base < size; base += 2 * span) {
        double* const r[4] = {re + base, re + base + half, re + base + span, re + base + span + half};
        double* const i[4] = {im + base, im + base + half, im + base + span, im + base + span + half};
        StagePairLanes<direction, realInput, double>(r, i, wc1, ws1, wc2, ws2, half, 0, 1, false);
        StagePairLanes<direction, realInput, double>(r, i, wc1, ws1, wc2, ws2, half, 1, 2, true);
        StagePairLanes<direction, realInput, TDoublePair>(r, i, wc1, ws1, wc2, ws2, half, 2, pairsEnd, true);
        if constexpr (std::is_same_v<TWidest, TDoubleQuad>)
            StagePairLanes<direction, realInput, TDoubleQuad>(r, i, wc1, ws1, wc2, ws2, half, pairsEnd, half, true);
    }
}

template <TDirection direction, bool realInput>
void StagePair(double* re, double* im, const double* wc1, const double* ws1, const double* wc2, const double* ws2,
               int32_t size, int32_t span)
{
    StagePairGroups<direction, realInput, TDoublePair>(re, im, wc1, ws1, wc2, ws2, size, span);
}

#if PARLANTO_WIDE_VECTORS
template <TDirection direction, bool realInput>
PARLANTO_WIDE_TARGET void WideStagePair(double* re, double* im, const double* wc1, const double* ws1,
                                        const double* wc2, const double* ws2, int32_t size, int32_t span)
{
    StagePairGroups<direction, realInput, TDoubleQuad>(re, im, wc1, ws1, wc2, ws2, size, span);
}
#endif

// One stage with span 4: positions k and k + 4 of every group of 8, k = 0 and 1 alone, k = 2 and 3 together.
template <TDirection direction>
void SpanFourStage(double* re, double* im, const double* wc, const double* ws, int32_t size)
{
    constexpr int32_t span = 4;
    for (int32_t base = 0; base < size; base += 2 * span) {
        double* r1 = re + base;
        double* i1 = im + base;
        double* r2 = r1 + span;
        double* i2 = i1 + span;
        Butterfly<direction>(r1[0], i1[0], r2[0], i2[0]);
        Butterfly<direction>(r1[1], i1[1], r2[1], i2[1]);
        Rotate<direction>(r2[1], i2[1], wc[1], ws[1]);
        TDoublePairValue a1 = LoadPair(r1 + 2), b1 = LoadPair(i1 + 2), a2 = LoadPair(r2 + 2), b2 = LoadPair(i2 + 2);
        Butterfly<direction>(a1, b1, a2, b2);
        Rotate<direction>(a2, b2, LoadPair(wc + 2), LoadPair(ws + 2));
        StorePair(r1 + 2, a1);
        StorePair(i1 + 2, b1);
        StorePair(r2 + 2, a2);
        StorePair(i2 + 2, b2);
    }
}

// The stage with span 2: positions 0, 1 against 2, 3 of every group of four, position 3 rotated.
template <TDirection direction>
void NarrowStage(double* re, double* im, const double* wc, const double* ws, int32_t size)
{
    for (int32_t base = 0; base < size; base += 4) {
        TDoublePairValue a1 = LoadPair(re + base), b1 = LoadPair(im + base);
        TDoublePairValue a2 = LoadPair(re + base + 2), b2 = LoadPair(im + base + 2);
        Butterfly<direction>(a1, b1, a2, b2);
        StorePair(re + base, a1);
        StorePair(im + base, b1);
        StorePair(re + base + 2, a2);
        StorePair(im + base + 2, b2);
        Rotate<direction>(re[base + 3], im[base + 3], wc[1], ws[1]);
    }
}

}  // namespace

namespace {

// The stages, the first pair of them for real input where realInput is set; with evenOnly the last stage
// computes only the even positions.
template <TDirection direction, bool realInput>
void Stages(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, bool evenOnly)
{
    const int32_t size = int32_t{1} << order;
    const double* wc = twiddles.cos.data();
    const double* ws = twiddles.sin.data();
    int32_t span = size / 2;
#if PARLANTO_WIDE_VECTORS
    const bool wide = WideVectors();
    const auto firstPair = wide ? WideStagePair<direction, realInput> : StagePair<direction, realInput>;
    const auto stagePair = wide ? WideStagePair<direction, false> : StagePair<direction, false>;
#else
    const auto firstPair = StagePair<direction, realInput>;
    const auto stagePair = StagePair<direction, false>;
#endif
    for (; span >= 8; span /= 4) {
        (span == size / 2 ? firstPair : stagePair)(re, im, wc, ws, wc + span, ws + span, size, span);
        wc += span + span / 2;
        ws += span + span / 2;
    }
    if (span == 4) {
        SpanFourStage<direction>(re, im, wc, ws, size);
        wc += span;
        ws += span;
        span /= 2;
    }
    if (span == 2)
        NarrowStage<direction>(re, im, wc, ws, size);
    // The last stage (span 1) has nothing to rotate.
    if (evenOnly) {
        for (int32_t j = 0; j < size; j += 2) {
            if constexpr (direction == TDirection::Analysis) {
                re[j] = (re[j] + re[j + 1]) / 2;
                im[j] = (im[j] + im[j + 1]) / 2;
            } else {
                re[j] = re[j] + re[j + 1];
                im[j] = im[j] + im[j + 1];
            }
        }
    } else {
        for (int32_t j = 0; j < size; j += 2)
            Butterfly<direction>(re[j], im[j], re[j + 1], im[j + 1]);
    }
}

}  // namespace

template <TDirection direction>
void FastStages(double* re, double* im, const TStageTwiddles& twiddles, int32_t order)
{
    Stages<direction, false>(re, im, twiddles, order, false);
}

void FastRealAnalysis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order)
{
    Stages<TDirection::Analysis, true>(re, im, twiddles, order, true);
}

template void ReferenceStages<TDirection::Analysis>(double*, double*, const double*, int32_t);
template void ReferenceStages<TDirection::Synthesis>(double*, double*, const double*, int32_t);
template void FastStages<TDirection::Analysis>(double*, double*, const TStageTwiddles&, int32_t);
template void FastStages<TDirection::Synthesis>(double*, double*, const TStageTwiddles&, int32_t);
