#include "AlignedDistanceBound.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "AlignmentBand.h"
#include "BoundArithmetic.h"
#include "IntervalGaps.h"
#include "WindowExtremes.h"

namespace {

// The sum of the gap costs of sums of squares, taken after all of them so that their roots overlap.
double SumOfGapCosts(const std::vector<float>& sumsOfSquares, size_t width)
{
    double sum = 0.0;
    for (const float squares : sumsOfSquares)
        sum += GapCost(squares, width);
    return sum;
}

// The sum over rows of a of the gap from a_i to the envelope of stored over i's band.
double RowGaps(const TFloatFrames& a, const TCompactScores& stored, const TFloatSteps& steps,
               const TAlignmentBand& band)
{
    const size_t width = a.Width;
    const TWindowExtremes<uint8_t> storedWindows(stored.Codes.data(), stored.Codes.data(), stored.Count(), width,
                                                 band.Widest());
    std::vector<float> squares(a.Count());
    for (size_t i = 0; i < a.Count(); ++i) {
        squares[i] = CodedGapSquares(FrameEnvelope(a.DownFrame(i), a.UpFrame(i)),
                                     storedWindows.Extremes(band.Low(i), band.High(i)), steps.Down.data(),
                                     steps.Up.data(), width);
    }
    return SumOfGapCosts(squares, width);
}

// The sum over stored frames j of the gap from the envelope of a over the rows whose band holds j to b_j.
double ColumnGaps(const TFloatFrames& a, const TRunExtremes<float>& aRuns, const TCompactScores& stored,
                  const TFloatSteps& steps, const TAlignmentBand& band)
{
    // The rows whose band holds j run from the first whose band ends at j or later to the last that starts
    // at j or earlier; both only grow with j.
    const size_t n = a.Count();
    const size_t m = stored.Count();
    const size_t width = a.Width;
    std::vector<float> squares(m);
    for (size_t j = 0, first = 0, last = 0; j < m; ++j) {
        while (band.High(first) < j)
            ++first;
        while (last + 1 < n && band.Low(last + 1) <= j)
            ++last;
        squares[j] = CodedGapSquares(aRuns.Extremes(first, last), FrameEnvelope(stored.Row(j), stored.Row(j)),
                                     steps.Down.data(), steps.Up.data(), width);
    }
    return SumOfGapCosts(squares, width);
}

}  // namespace

TBoundFrames::TBoundFrames(const TFrameSeries& frames, size_t rowsPerBlock)
    : Floats(FloatFramesOf(frames)),
      Runs(Floats.Down.data(), Floats.Up.data(), Floats.Count(), Floats.Width, Floats.Count()),
      RowsPerBlock(rowsPerBlock)
{
    const size_t width = Floats.Width;
    Blocks.Width = width;
    Blocks.InRange = Floats.InRange;
    for (size_t first = 0; first < Floats.Count(); first += rowsPerBlock) {
        const TEnvelopeParts<float> block = Runs.Extremes(first, std::min(Floats.Count(), first + rowsPerBlock) - 1);
        for (size_t k = 0; k < width; ++k) {
            Blocks.Down.push_back(std::min(block.LowA[k], block.LowB[k]));
            Blocks.Up.push_back(std::max(block.HighA[k], block.HighB[k]));
        }
    }
}

double QuickAlignedDistanceAtLeast(const TBoundFrames& bound, const TCompactScores& stored, double bandShare)
{
    const TFloatFrames& utterance = bound.Floats;
    TFloatSteps steps;
    if (const std::optional<double> settled = SettledBeforeAligning(utterance, stored, steps))
        return *settled;
    const size_t n = utterance.Count();
    const size_t m = stored.Count();
    const TAlignmentBand band(n, m, bandShare);
    const double rows = RowGaps(utterance, stored, steps, band);
    const double columns = ColumnGaps(utterance, bound.Runs, stored, steps, band);
    return SafeDistance(std::max(rows, columns), n, m, utterance.Width, n + m);
}

double AlignedDistanceAtLeast(const TBoundFrames& bound, const TCompactScores& stored, double bandShare,
                              double giveUpAbove)
{
    const TFloatFrames& utterance = bound.Floats;
    TFloatSteps steps;
    if (const std::optional<double> settled = SettledBeforeAligning(utterance, stored, steps))
        return *settled;
    const size_t n = utterance.Count();
    const size_t m = stored.Count();
    const size_t width = utterance.Width;
    // Every stored frame meets a band of rows: its intervals are decoded once.
    std::vector<float> lowEnds(m * width), highEnds(m * width);
    for (size_t j = 0; j < m; ++j) {
        DecodeIntervals(stored.Row(j), steps.Down.data(), steps.Up.data(), width, lowEnds.data() + j * width,
                        highEnds.data() + j * width);
    }
    std::vector<float> squares(m);
    const auto rowCosts = [&](size_t i, size_t low, size_t high, double* costs) {
        GapCostsOfRange(utterance.DownFrame(i), utterance.UpFrame(i), lowEnds.data(), highEnds.data(), width, low,
                        high, squares.data(), costs);
    };
    // Every path crosses each row, and the rest of it only adds.
    const auto givesUp = [&](double cheapest) { return SafeDistance(cheapest, n, m, width, n + m) > giveUpAbove; };
    return SafeDistance(CheapestBandPath(TAlignmentBand(n, m, bandShare), n, m, rowCosts, givesUp), n, m, width,
                        n + m);
}
