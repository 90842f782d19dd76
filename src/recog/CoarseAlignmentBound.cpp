#include "CoarseAlignmentBound.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "AlignmentBand.h"
#include "BoundArithmetic.h"
#include "IntervalGaps.h"

namespace {

// Per block of frames, the envelope of the intervals the codes stand for: the smallest low end and the largest
// high end of every value.
struct TStoredBlocks {
    std::vector<float> Low;
    std::vector<float> High;
};

TStoredBlocks StoredBlocksOf(const TCompactScores& stored, const TFloatSteps& steps, size_t framesPerBlock)
{
    const size_t width = stored.Width;
    const size_t blocks = (stored.Count() + framesPerBlock - 1) / framesPerBlock;
    // The smallest codes of every block, then the largest.
    std::vector<uint8_t> codes(2 * blocks * width, 255);
    uint8_t* lowCodes = codes.data();
    uint8_t* highCodes = codes.data() + blocks * width;
    std::fill(highCodes, highCodes + blocks * width, 0);
    for (size_t j = 0; j < stored.Count(); ++j) {
        uint8_t* __restrict low = lowCodes + j / framesPerBlock * width;
        uint8_t* __restrict high = highCodes + j / framesPerBlock * width;
        const uint8_t* __restrict row = stored.Row(j);
        for (size_t k = 0; k < width; ++k) {
            low[k] = std::min(low[k], row[k]);
            high[k] = std::max(high[k], row[k]);
        }
    }
    TStoredBlocks ends{std::vector<float>(blocks * width), std::vector<float>(blocks * width)};
    for (size_t at = 0; at < blocks * width; at += width) {
        DecodeEnvelope(lowCodes + at, highCodes + at, steps.Down.data(), steps.Up.data(), width,
                       ends.Low.data() + at, ends.High.data() + at);
    }
    return ends;
}

// The cheapest chains through one block row of `rows` rows, ending at each block of low..high: entry[J] is the
// cheapest chain before the row that may go on at block J, costs[J] the block cells' costs, framesPerBlock the
// frames of every block but the last. A run of L blocks holds at least `rows` cells and one in each block; one
// of three blocks and more crosses every block between its ends whole, a cell per frame.
void CheapestRuns(size_t rows, size_t framesPerBlock, size_t low, size_t high, const std::vector<double>& entry,
                  const std::vector<double>& costs, std::vector<double>& ending)
{
    const auto extra = [rows](size_t blocks) { return static_cast<double>(rows > blocks ? rows - blocks : 0); };
    const double whole = static_cast<double>(framesPerBlock);
    // The cheapest runs begun before block J whose blocks after the first are crossed whole up to J, for the
    // last two J.
    double crossedBefore = kUnreachable, crossed = kUnreachable;
    for (size_t J = low; J <= high; ++J) {
        double cheapest = entry[J] + static_cast<double>(rows) * costs[J];
        if (J >= low + 1) {
            const double two = costs[J - 1] + costs[J];
            const double least = std::min(costs[J - 1], costs[J]);
            cheapest = std::min(cheapest, entry[J - 1] + (two + extra(2) * least));
            if (J >= low + 2) {
                const double byRows = costs[J - 2] + two + extra(3) * std::min(least, costs[J - 2]);
                const double byFrames = costs[J - 2] + whole * costs[J - 1] + costs[J];
                cheapest = std::min(cheapest, entry[J - 2] + std::max(byRows, byFrames));
                // Four blocks and more: begun at J - 3 or before, crossing J - 2 and J - 1 whole.
                cheapest = std::min(cheapest, whole * costs[J - 1] + crossedBefore + costs[J]);
            }
            crossedBefore = crossed;
            crossed = whole * costs[J] + std::min(crossed, entry[J - 1] + costs[J - 1]);
        }
        ending[J] = cheapest;
    }
}

}  // namespace

double CoarseAlignedDistanceAtLeast(const TBoundFrames& bound, const TCompactScores& storedCodes, double bandShare,
                                    double giveUpAbove, size_t framesPerBlock)
{
    const TFloatFrames& utterance = bound.Floats;
    TFloatSteps steps;
    if (const std::optional<double> settled = SettledBeforeAligning(utterance, storedCodes, steps))
        return *settled;
    const size_t n = utterance.Count();
    const size_t m = storedCodes.Count();
    const size_t width = utterance.Width;
    const TAlignmentBand band(n, m, bandShare);
    const TStoredBlocks stored = StoredBlocksOf(storedCodes, steps, framesPerBlock);
    const size_t rowsPerBlock = bound.RowsPerBlock;
    const size_t columnBlocks = stored.Low.size() / width;
    std::vector<double> previous(columnBlocks, kUnreachable), current(columnBlocks, kUnreachable);
    std::vector<double> entry(columnBlocks), costs(columnBlocks);
    std::vector<float> squares(columnBlocks);
    const size_t operations = 8 * (n + m);
    for (size_t first = 0, I = 0; first < n; first += rowsPerBlock, ++I) {
        const size_t last = std::min(n, first + rowsPerBlock) - 1;
        const size_t low = band.Low(first) / framesPerBlock;
        const size_t high = band.High(last) / framesPerBlock;
        GapCostsOfRange(bound.Blocks.DownFrame(I), bound.Blocks.UpFrame(I), stored.Low.data(), stored.High.data(),
                        width, low, high, squares.data(), costs.data());
        for (size_t J = low; J <= high; ++J) {
            if (first == 0)
                entry[J] = J == 0 ? 0.0 : kUnreachable;
            else
                entry[J] = std::min(previous[J], J > 0 ? previous[J - 1] : kUnreachable);
        }
        std::fill(current.begin(), current.end(), kUnreachable);
        CheapestRuns(last - first + 1, framesPerBlock, low, high, entry, costs, current);
        const double cheapest = *std::min_element(current.begin() + static_cast<ptrdiff_t>(low),
                                                  current.begin() + static_cast<ptrdiff_t>(high) + 1);
        if (SafeDistance(cheapest, n, m, width, operations) > giveUpAbove)
            return kUnreachable;
        std::swap(previous, current);
    }
    return SafeDistance(previous[columnBlocks - 1], n, m, width, operations);
}
