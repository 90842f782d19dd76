#pragma once
// The last three or four stages of the fast transform, done block by block in registers, with the results
// written straight to natural order: the bit reversal is folded into where they are stored.
//
// Those stages work within blocks of 2^s consecutive positions (s = 4 for even orders and 3 for odd ones, so
// that the stage pairs before them end at span 16 or more). A vector's lanes take as many blocks at once,
// turned so that each vector holds one position of every block: the stages then move nothing between lanes,
// every lane goes through the reference operations of its block, and since the blocks are picked with
// consecutive bit-reversed numbers, every result vector lands on consecutive bins.
#include <bit>
#include <cstdint>

#include "BitReversal.h"
#include "FftButterflies.h"
#include "FftStages.h"
#include "WideVectors.h"

// Positions per block of the last stages of a transform of 2^order points.
constexpr int32_t LastStagesBlock(int32_t order)
{
    return order % 2 == 0 ? 16 : 8;
}

// v[0..lanes-1], position j + q of lane L's block in lane q of v[L], turned into position j + q of every
// block in v[q].
PARLANTO_LANES_INLINE void Transpose(double*) {}

PARLANTO_LANES_INLINE void Transpose(TDoublePairValue* v)
{
    const TDoublePairValue first = __builtin_shufflevector(v[0], v[1], 0, 2);
    v[1] = __builtin_shufflevector(v[0], v[1], 1, 3);
    v[0] = first;
}

PARLANTO_LANES_INLINE void Transpose(TDoubleQuad* v)
{
    const TDoubleQuad evens01 = __builtin_shufflevector(v[0], v[1], 0, 4, 2, 6);
    const TDoubleQuad odds01 = __builtin_shufflevector(v[0], v[1], 1, 5, 3, 7);
    const TDoubleQuad evens23 = __builtin_shufflevector(v[2], v[3], 0, 4, 2, 6);
    const TDoubleQuad odds23 = __builtin_shufflevector(v[2], v[3], 1, 5, 3, 7);
    v[0] = __builtin_shufflevector(evens01, evens23, 0, 1, 4, 5);
    v[1] = __builtin_shufflevector(odds01, odds23, 0, 1, 4, 5);
    v[2] = __builtin_shufflevector(evens01, evens23, 2, 3, 6, 7);
    v[3] = __builtin_shufflevector(odds01, odds23, 2, 3, 6, 7);
}

// Where the results of one group of blocks go: position j of lane L's block is bin (or point)
// BitReversed(j) * blocks + first + L. An analysis also delivers the magnitudes.
template <TDirection direction, class T>
struct TBlockResults {
    TOrderedValues out;
    double* magnitudes;
    int32_t blocks;
    int32_t first;

    PARLANTO_LANES_INLINE void Put(int32_t reversedPosition, T r, T i) const
    {
        const int32_t at = reversedPosition * blocks + first;
        StoreLanes(out.re + at, r);
        StoreLanes(out.im + at, i);
        if constexpr (direction == TDirection::Analysis)
            StoreLanes(magnitudes + at, SqrtLanes(r * r + i * i));
    }
};

// The stage with span kSpan on 2 kSpan positions, r[0] and i[0] being block position kPosition, then the
// smaller spans on each half in turn, depth first so that few values are live at once. An analysis is one of
// real values: its last stage computes the even positions only, which hold the bins below N/2.
template <TDirection direction, int32_t kStages, int32_t kSpan, int32_t kPosition, class T>
PARLANTO_LANES_INLINE void BlockStages(T* r, T* i, const double* wc, const double* ws,
                                       const TBlockResults<direction, T>& results)
{
    if constexpr (kSpan == 1) {
        if constexpr (direction == TDirection::Analysis) {
            r[0] = (r[0] + r[1]) / 2;
            i[0] = (i[0] + i[1]) / 2;
        } else {
            Butterfly<direction>(r[0], i[0], r[1], i[1]);
            results.Put(BitReversed(kPosition + 1, kStages), r[1], i[1]);
        }
        results.Put(BitReversed(kPosition, kStages), r[0], i[0]);
    } else {
        for (int32_t k = 0; k < kSpan; ++k)
            Butterfly<direction>(r[k], i[k], r[k + kSpan], i[k + kSpan]);
        // Position 0 of a span is never rotated.
        for (int32_t g = 1; g < kSpan; ++g)
            Rotate<direction>(r[kSpan + g], i[kSpan + g], wc[g], ws[g]);
        BlockStages<direction, kStages, kSpan / 2, kPosition>(r, i, wc + kSpan, ws + kSpan, results);
        BlockStages<direction, kStages, kSpan / 2, kPosition + kSpan>(r + kSpan, i + kSpan, wc + kSpan, ws + kSpan,
                                                                       results);
    }
}

// The last kStages stages (3 or 4) of a transform of 2^order points, whose twiddles start at wc and ws, on
// blocks taken kLanes<T> at a time.
template <TDirection direction, int32_t kStages, class T>
PARLANTO_LANES_INLINE void BlockGroups(const double* re, const double* im, const double* wc, const double* ws,
                                       int32_t order, const TOrderedValues& out, double* magnitudes)
{
    constexpr int32_t block = 1 << kStages;
    constexpr int32_t lanes = kLanes<T>;
    const int32_t blocks = (int32_t{1} << order) / block;
    const int32_t groups = blocks / lanes;
    for (int32_t g = 0, reversed = 0; g < groups; ++g, reversed = NextBitReversed(reversed, groups)) {
        // Lane L takes the block whose bit-reversed number is reversed * lanes + L.
        const double* rBlocks[lanes];
        const double* iBlocks[lanes];
        for (int32_t lane = 0; lane < lanes; ++lane) {
            const int32_t offset = (g + BitReversed(lane, std::countr_zero(unsigned{lanes})) * groups) * block;
            rBlocks[lane] = re + offset;
            iBlocks[lane] = im + offset;
        }
        T r[block];
        T i[block];
        for (int32_t j = 0; j < block; j += lanes) {
            for (int32_t lane = 0; lane < lanes; ++lane) {
                r[j + lane] = LoadLanes(rBlocks[lane] + j, T{});
                i[j + lane] = LoadLanes(iBlocks[lane] + j, T{});
            }
            Transpose(r + j);
            Transpose(i + j);
        }
        const TBlockResults<direction, T> results{out, magnitudes, blocks, reversed * lanes};
        BlockStages<direction, kStages, block / 2, 0>(r, i, wc, ws, results);
    }
}

// The stages after the stage pairs, T the widest lanes; the smallest transform has a single block.
template <TDirection direction, class T>
PARLANTO_LANES_INLINE void LastStages(const double* re, const double* im, const double* wc, const double* ws,
                                      int32_t order, const TOrderedValues& out, double* magnitudes)
{
    if (order % 2 != 0)
        BlockGroups<direction, 3, T>(re, im, wc, ws, order, out, magnitudes);
    else if ((int32_t{1} << order) / LastStagesBlock(order) >= kLanes<T>)
        BlockGroups<direction, 4, T>(re, im, wc, ws, order, out, magnitudes);
    else
        BlockGroups<direction, 4, double>(re, im, wc, ws, order, out, magnitudes);
}
