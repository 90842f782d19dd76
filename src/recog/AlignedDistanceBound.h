#pragma once
// A lower bound of the aligned distance AlignedFrameDistance(a, b, bandShare) (FrameAlignment.h) when the
// stored frames b are known only in compact form (CompactScores.h): the alignment itself over gap costs, for the
// takes of a large vocabulary that the alignment over blocks (CoarseAlignmentBound.h, which shares what follows)
// leaves open.
//
// Why it is a bound. Each code stands for an interval that holds the exact value, and a's values lie
// between their floats (FloatFrames.h), so no cell's cost RMS(a_i - b_j) is below the root mean square gap
// between the intervals of a_i and b_j (IntervalGaps.h); nor below the gap from the envelope of a's intervals
// over any set of rows that holds i to the envelope of b's over any set of frames that holds j. The cheapest
// band path over the gap costs is no dearer than the cheapest band path over the cell costs, path by path; so
// is every row's cheapest partial path, which is how it gives up early.
//
// Rounding (u = 2^-53 in doubles, v = 2^-24 in floats). The exact distance is computed in doubles, each
// operation rounding once, the same on either arithmetic path: a cell's W squares, their sum, mean and root
// lose at most a factor (1 - u)^(W + 4), a path's sum of at most n + m cells and its division by n + m a factor
// (1 - u)^(n + m); values below 2^-1000 may err by an absolute amount instead, which lowers a cell by less than
// 2^-530. A gap cost rounds upwards at most as much: its gaps, squares and their sum in floats by a factor
// (1 + v)^(W + 3) and, where they fall below 2^-126, by 2^-149 apiece (the ends of the intervals, at least
// 2^-101 unless 0, are rounded outwards and their differences with a's floats are exact when that small); its
// mean and root in doubles by (1 + u)^2, the sums of paths by (1 + u)^(n + m + 1). So a bound times
// 1 - 2^-21 (W + 8) - 2^-50 (n + m + W + 16), less 2^-70, never exceeds the exact distance; that is what they
// give (never below 0). Where a value or a step is beyond what the floats hold safely (InRange), they give 0.
#include "CompactScores.h"
#include "FloatFrames.h"

#include "FrameAlignment.h"

// An utterance's frames readied for the bounds: in floats, and the envelope of every block of rowsPerBlock frames
// (the last one may be shorter) for the alignment over blocks.
struct TBoundFrames {
    TBoundFrames(const TFrameSeries& frames, size_t rowsPerBlock);
    TBoundFrames(const TBoundFrames&) = delete;
    TBoundFrames& operator=(const TBoundFrames&) = delete;

    TFloatFrames Floats;
    size_t RowsPerBlock;
    TFloatFrames Blocks;   // Down the smallest of a block's Down values, Up the largest of its Up ones
};

// The alignment itself over the gap costs: about n × band × width work, less when it gives up. Infinity when
// either side has no frames or their widths differ, as for the alignment itself, and once it is sure that the
// exact distance exceeds giveUpAbove.
double AlignedDistanceAtLeast(const TBoundFrames& utterance, const TCompactScores& stored, double bandShare,
                              double giveUpAbove);
