#pragma once
// A lower bound of the aligned distance AlignedFrameDistance(a, b, bandShare) (FrameAlignment.h) from b's
// compact form, the first one a large vocabulary asks of every take: the alignment over blocks of frames, a sixth
// of the cells of the alignment over interval gaps (AlignedDistanceBound.h), which is left only the takes near
// the runner-up.
//
// Why it is a bound. a's rows are cut into blocks of R consecutive rows (TBoundFrames::RowsPerBlock) and b's
// frames into blocks of F (the last of each may be shorter). A block cell (I, J) costs the gap from the
// envelope of a's intervals over block I to the envelope of b's intervals over block J: no cell (i, j) inside
// it costs less, since the envelopes hold each of their frames' intervals and so no value's gap is wider.
// Take any band path and a block row I of k rows. Its cells there form one run of the path, which meets the
// block cells J_in..J_out of that row, L of them, each at least once; it holds at least k cells, one per row;
// and where L >= 3 it crosses every block between J_in and J_out from its first frame to its last, a cell per
// frame (F; only the last block is shorter, and it is never between). So the run costs at least
//   C(J_in) + ... + C(J_out) + max(0, k - L) × the least of them, and, where L >= 3, at least
//   C(J_in) + F (C(J_in + 1) + ... + C(J_out - 1)) + C(J_out);
// the first is counted for runs of up to three blocks (the larger of both for three), the second for longer
// ones (a running chain over J), both for less than the run holds. The run in the next block row starts where
// this one ended or in the next block (a step down or diagonal), the first starts at block 0 and the last
// ends at the last block; each block cell it meets holds band cells, so all lie within the block rows' band
// (from the block of its first row's first column to that of its last row's last column). The cheapest chain
// of such runs is therefore no dearer than any band path; so is the cheapest part of a chain through a block
// row, which is how it gives up early.
//
// Rounding: the gap costs err as those of AlignedDistanceBound.h. A run's cost is a sum of at most L + 3
// terms of zero or more with two products by a count, the running chain adds two operations per block; over
// all the block rows at most 8 (n + m) operations, each rounding by a factor (1 + u) at most: the margin of
// AlignedDistanceBound.h with 8 (n + m) operations for the path.
#include "AlignedDistanceBound.h"

// Infinity when either side has no frames or their widths differ, or once it is sure that the exact distance
// exceeds giveUpAbove; 0 where the values are beyond what the floats hold safely. About n m / (R F) gap costs
// of width values each, and n m / (R F) steps of the chains, at most.
double CoarseAlignedDistanceAtLeast(const TBoundFrames& utterance, const TCompactScores& stored, double bandShare,
                                    double giveUpAbove, size_t framesPerBlock);
