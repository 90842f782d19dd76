#include "AlignedDistanceBound.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "AlignmentBand.h"
#include "CompactIntervals.h"
#include "IntervalGaps.h"

namespace {

constexpr double kUnreachable = std::numeric_limits<double>::infinity();

// A path's bound cost as a distance, lowered by more than what rounding may have put on it.
double SafeDistance(double pathCost, size_t n, size_t m, size_t width)
{
    const double margin = 1.0 - 0x1p-50 * static_cast<double>(n + m + width + 16);
    return std::max(0.0, pathCost / static_cast<double>(n + m) * margin - 0x1p-500);
}

// Every stored frame's intervals, frame after frame.
struct TIntervalFrames {
    std::vector<double> Lowest;
    std::vector<double> Highest;
};

TIntervalFrames IntervalsOf(const TCompactScores& stored)
{
    const TCompactIntervals intervals(stored);
    TIntervalFrames frames;
    frames.Lowest.resize(stored.Codes.size());
    frames.Highest.resize(stored.Codes.size());
    for (size_t j = 0; j < stored.Count(); ++j)
        intervals.Ends(stored.Row(j), stored.Row(j), &frames.Lowest[j * stored.Width], &frames.Highest[j * stored.Width]);
    return frames;
}

// The sum over rows of a of the gap from a_i to the envelope of stored over i's band.
double RowGaps(const TFrameSeries& a, const TCompactScores& stored, const TAlignmentBand& band)
{
    const size_t width = a.Width;
    const TRunExtremes<uint8_t> storedRuns(stored.Codes.data(), stored.Count(), width, stored.Count());
    const TCompactIntervals intervals(stored);
    std::vector<uint8_t> lowCodes(width), highCodes(width);
    std::vector<double> lowest(width), highest(width);
    double sum = 0.0;
    for (size_t i = 0; i < a.Count(); ++i) {
        storedRuns.Extremes(band.Low(i), band.High(i), lowCodes.data(), highCodes.data());
        intervals.Ends(lowCodes.data(), highCodes.data(), lowest.data(), highest.data());
        sum += IntervalGapRms(a.Frame(i), a.Frame(i), lowest.data(), highest.data(), width);
    }
    return sum;
}

// The sum over stored frames j of the gap from the envelope of a over the rows whose band holds j to b_j.
double ColumnGaps(const TFrameSeries& a, const TRunExtremes<double>& aRuns, const TCompactScores& stored,
                  const TAlignmentBand& band)
{
    const size_t width = a.Width;
    const TCompactIntervals intervals(stored);
    std::vector<double> aLowest(width), aHighest(width), lowest(width), highest(width);
    double sum = 0.0;
    // The rows whose band holds j run from the first whose band ends at j or later to the last that starts
    // at j or earlier; both only grow with j.
    size_t first = 0;
    size_t last = 0;
    const size_t n = a.Count();
    for (size_t j = 0; j < stored.Count(); ++j) {
        while (band.High(first) < j)
            ++first;
        while (last + 1 < n && band.Low(last + 1) <= j)
            ++last;
        aRuns.Extremes(first, last, aLowest.data(), aHighest.data());
        intervals.Ends(stored.Row(j), stored.Row(j), lowest.data(), highest.data());
        sum += IntervalGapRms(aLowest.data(), aHighest.data(), lowest.data(), highest.data(), width);
    }
    return sum;
}

}  // namespace

double QuickAlignedDistanceAtLeast(const TFrameSeries& utterance, const TRunExtremes<double>& utteranceRuns,
                                   const TCompactScores& stored, double bandShare)
{
    const size_t n = utterance.Count();
    const size_t m = stored.Count();
    if (n == 0 || m == 0 || utterance.Width != stored.Width)
        return kUnreachable;
    const TAlignmentBand band(n, m, bandShare);
    const double rows = RowGaps(utterance, stored, band);
    const double columns = ColumnGaps(utterance, utteranceRuns, stored, band);
    return SafeDistance(std::max(rows, columns), n, m, utterance.Width);
}

double AlignedDistanceAtLeast(const TFrameSeries& utterance, const TCompactScores& stored, double bandShare,
                              double giveUpAbove)
{
    const size_t n = utterance.Count();
    const size_t m = stored.Count();
    const size_t width = utterance.Width;
    if (n == 0 || m == 0 || width != stored.Width)
        return kUnreachable;
    const TIntervalFrames b = IntervalsOf(stored);
    const auto rowCosts = [&](size_t i, size_t low, size_t high, double* costs) {
        for (size_t j = low; j <= high; ++j)
            costs[j] = IntervalGapRms(utterance.Frame(i), utterance.Frame(i), &b.Lowest[j * width],
                                      &b.Highest[j * width], width);
    };
    // Every path crosses each row, and the rest of it only adds.
    const auto givesUp = [&](double cheapest) { return SafeDistance(cheapest, n, m, width) > giveUpAbove; };
    return SafeDistance(CheapestBandPath(TAlignmentBand(n, m, bandShare), n, m, rowCosts, givesUp), n, m, width);
}
