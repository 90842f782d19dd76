#pragma once
// Lower bounds of the aligned distance AlignedFrameDistance(a, b, bandShare) (FrameAlignment.h) when the
// stored frames b are known only in compact form (CompactScores.h), so that a large vocabulary can rule most
// of its stored takes out without reading them.
//
// Why they are bounds. Each compact value stands for an interval that holds the exact value
// (CompactIntervals.h), so no cell's cost RMS(a_i - b_j) is below the root mean square gap between a_i and
// b_j's intervals (IntervalGaps.h); nor below the gap to the intervals' envelope over any set of frames of b
// that holds j, nor the gap between the envelope of a over any set of rows that holds i and b_j's intervals.
// - The alignment: the cheapest band path over the gap costs is no dearer than the cheapest band path over
//   the cell costs, path by path; so is every row's cheapest partial path, which is how it gives up early.
// - The quick bound: every path holds at least one cell of every row i of a, within the band, and at least one
//   of every column j of b, so its cost is at least the sum over rows of the gap from a_i to the envelope of
//   b over i's band, and at least the sum over columns of the gap from the envelope of a over the rows whose
//   band holds j to b_j.
// Rounding (u = 2^-53). The exact distance is computed in doubles, each operation rounding once, the same on
// either arithmetic path: a cell's sum of W squares, its mean and root lose at most a factor (1 - u)^(W + 4),
// a path's sum of at most n + m cells and its division by n + m a factor (1 - u)^(n + m); values below
// 2^-1000 may err by an absolute amount instead, which lowers a cell by less than 2^-530. The bounds round the
// same way upwards (ends of intervals rounded outwards, differences of such ends and exact frame values, then
// the same kinds of sums): at most a factor (1 + u)^(n + m + W + 8) and as little absolutely. So a bound times
// 1 - 2^-50 (n + m + W + 16), less 2^-500, never exceeds the exact distance; that is what they give (never
// below 0).
#include <cstdint>

#include "CompactScores.h"
#include "FrameAlignment.h"
#include "RunExtremes.h"

// Infinity when either side has no frames or their widths differ, as for the alignment itself. utteranceRuns
// are the extremes of utterance's frames for runs up to its whole length. About (n + m) × width work.
double QuickAlignedDistanceAtLeast(const TFrameSeries& utterance, const TRunExtremes<double>& utteranceRuns,
                                   const TCompactScores& stored, double bandShare);

// The alignment itself over the gap costs: about n × band × width work, less when it gives up. Infinity
// once it is sure that the exact distance exceeds giveUpAbove.
double AlignedDistanceAtLeast(const TFrameSeries& utterance, const TCompactScores& stored, double bandShare,
                              double giveUpAbove);
