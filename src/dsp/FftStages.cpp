#include "FftStages.h"

#include "DoublePair.h"

namespace {

// Written once for single doubles and for pairs of them: the same operations in each lane.
template <TDirection direction, class T>
inline void Butterfly(T& r1, T& i1, T& r2, T& i2)
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
inline void Rotate(T& r, T& i, T wc, T ws)
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

// One stage with span 4 or more: positions k and k + span of every group of 2 * span, k = 0 and 1 alone
// (position 0 is not rotated), the rest two at a time.
template <TDirection direction>
void WideStage(double* re, double* im, const double* wc, const double* ws, int32_t size, int32_t span)
{
    for (int32_t base = 0; base < size; base += 2 * span) {
        double* r1 = re + base;
        double* i1 = im + base;
        double* r2 = r1 + span;
        double* i2 = i1 + span;
        Butterfly<direction>(r1[0], i1[0], r2[0], i2[0]);
        Butterfly<direction>(r1[1], i1[1], r2[1], i2[1]);
        Rotate<direction>(r2[1], i2[1], wc[1], ws[1]);
        for (int32_t k = 2; k < span; k += 2) {
            TDoublePair a1 = LoadPair(r1 + k), b1 = LoadPair(i1 + k), a2 = LoadPair(r2 + k), b2 = LoadPair(i2 + k);
            Butterfly<direction>(a1, b1, a2, b2);
            Rotate<direction>(a2, b2, LoadPair(wc + k), LoadPair(ws + k));
            StorePair(r1 + k, a1);
            StorePair(i1 + k, b1);
            StorePair(r2 + k, a2);
            StorePair(i2 + k, b2);
        }
    }
}

// The stage with span 2: positions 0, 1 against 2, 3 of every group of four, position 3 rotated.
template <TDirection direction>
void NarrowStage(double* re, double* im, const double* wc, const double* ws, int32_t size)
{
    for (int32_t base = 0; base < size; base += 4) {
        TDoublePair a1 = LoadPair(re + base), b1 = LoadPair(im + base);
        TDoublePair a2 = LoadPair(re + base + 2), b2 = LoadPair(im + base + 2);
        Butterfly<direction>(a1, b1, a2, b2);
        StorePair(re + base, a1);
        StorePair(im + base, b1);
        StorePair(re + base + 2, a2);
        StorePair(im + base + 2, b2);
        Rotate<direction>(re[base + 3], im[base + 3], wc[1], ws[1]);
    }
}

}  // namespace

template <TDirection direction>
void FastStages(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, bool evenOnly)
{
    const int32_t size = int32_t{1} << order;
    const double* wc = twiddles.cos.data();
    const double* ws = twiddles.sin.data();
    int32_t span = size / 2;
    for (; span >= 4; span /= 2) {
        WideStage<direction>(re, im, wc, ws, size, span);
        wc += span;
        ws += span;
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

template void ReferenceStages<TDirection::Analysis>(double*, double*, const double*, int32_t);
template void ReferenceStages<TDirection::Synthesis>(double*, double*, const double*, int32_t);
template void FastStages<TDirection::Analysis>(double*, double*, const TStageTwiddles&, int32_t, bool);
template void FastStages<TDirection::Synthesis>(double*, double*, const TStageTwiddles&, int32_t, bool);
