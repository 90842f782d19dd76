#include "AlignedDistanceBound.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "AlignmentBand.h"
#include "BoundArithmetic.h"
#include "IntervalGaps.h"

TBoundFrames::TBoundFrames(const TFrameSeries& frames, size_t rowsPerBlock)
    : Floats(FloatFramesOf(frames)), RowsPerBlock(rowsPerBlock)
{
    const size_t width = Floats.Width;
    Blocks.Width = width;
    Blocks.InRange = Floats.InRange;
    for (size_t first = 0; first < Floats.Count(); first += rowsPerBlock) {
        const size_t end = std::min(Floats.Count(), first + rowsPerBlock);
        Blocks.Down.insert(Blocks.Down.end(), Floats.DownFrame(first), Floats.DownFrame(first) + width);
        Blocks.Up.insert(Blocks.Up.end(), Floats.UpFrame(first), Floats.UpFrame(first) + width);
        float* down = Blocks.Down.data() + Blocks.Down.size() - width;
        float* up = Blocks.Up.data() + Blocks.Up.size() - width;
        for (size_t i = first + 1; i < end; ++i) {
            for (size_t k = 0; k < width; ++k) {
                down[k] = std::min(down[k], Floats.DownFrame(i)[k]);
                up[k] = std::max(up[k], Floats.UpFrame(i)[k]);
            }
        }
    }
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
