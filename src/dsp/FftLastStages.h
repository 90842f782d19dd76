#pragma once
// The last three or four stages of the fast transform, done block by block in registers, with the results
// written straight to natural order: the bit reversal is folded into where they are stored.
//
// Those stages work within blocks of 2^s consecutive positions (s = 4 for even orders and 3 for odd ones, so
// that the stage pairs before them end at span 16 or more). A vector's lanes take as many blocks at once,
// turned so that each vector holds one position of every block: the stages then move nothing between lanes,
// every lane goes through the reference operations of its block, and since the blocks are picked with
// consecutive bit-reversed numbers, every result vector lands on consecutive bins.
//
// What they must equal is ReferenceStages (FftStages.cpp) from span 2^(s-1) down, followed by the read-out
// through the bit-reversal table. For N = 1024 (order 10), four doubles a step:
//
//   span 512 256 | 128 64 | 32 16 |  8  4  2  1
//   stage pair   | pair   | pair  |  last stages, here: 64 blocks of 16 positions, block b = 16b .. 16b+15
//   (FftStages.cpp: StagePair; the first one of an analysis reads no imaginary parts)
//
//   group g = 0..15 takes in lane L the block b = g + 16 * BitReversed(L, 2), loaded as four quads per part
//   (re, im) and transposed, so that quad j holds position j of the four blocks;
//   BlockStages runs spans 8, 4, 2, 1 on the 16 quads, depth first, the twiddles the same in every lane;
//   position j of block b is bin BitReversed(16b + j, 10) = BitReversed(j, 4) * 64 + BitReversed(b, 6)
//                                                          = BitReversed(j, 4) * 64 + BitReversed(g, 4) * 4 + L,
//   so quad j of group g is stored at four consecutive bins (an analysis keeps the even j only: bins below 512).
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
            // Position j + q of lane L's block was in lane q of r[j + L]; now it is in lane L of r[j + q].
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
