#include "HarmonicCombSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "WideVectors.h"

namespace {

using TCellSums = THarmonicCombSearch::TCellSums;
using TTables = THarmonicCombSearch::TTables;

constexpr double kCells = kBinCount;   // the correlation runs over every bin, comb cells or not
// Two orders of adding up to 512 non-negative terms agree to within 2 * 511 * 2^-53 (1.2e-13) of the sum;
// this allows for eight times that, which also covers the rounding of the few steps that follow.
constexpr double kSumSlack = 1e-12;
constexpr double kRoundingSlack = 1e-14;   // the final division and mapping to 0..1
constexpr double kUndecided = std::numeric_limits<double>::infinity();
constexpr uint64_t kWholeSpacing = uint64_t{kCombCells} << TCombSteps::kFractionBits;   // a comb's width

// A table entry in lanes: one quad four at a time, two pairs (cells and squares, products and the zero) two at a
// time. Added up entry by entry, every lane sums the same terms in the same order.
struct TEntryPairs {
    TDoublePairValue low;
    TDoublePairValue high;
};

PARLANTO_LANES_INLINE TEntryPairs operator+(TEntryPairs a, TEntryPairs b)
{
    return {a.low + b.low, a.high + b.high};
}

PARLANTO_LANES_INLINE TEntryPairs& operator+=(TEntryPairs& a, TEntryPairs b)
{
    return a = a + b;
}

PARLANTO_LANES_INLINE TEntryPairs LoadEntry(const TCellSums& entry, TEntryPairs)
{
    return {LoadPair(&entry.cells), LoadPair(&entry.products)};
}

PARLANTO_LANES_INLINE TDoubleQuad LoadEntry(const TCellSums& entry, TDoubleQuad)
{
    return LoadQuad(&entry.cells);
}

PARLANTO_LANES_INLINE TCellSums Total(TEntryPairs sums)
{
    return {sums.low[0], sums.low[1], sums.high[0], 0.0};
}

PARLANTO_LANES_INLINE TCellSums Total(TDoubleQuad sums)
{
    return {sums[0], sums[1], sums[2], 0.0};
}

// Lane L of sum, squares and products as the entry at at[L * stride].
PARLANTO_LANES_INLINE void StoreEntries(TDoublePairValue sum, TDoublePairValue squares, TDoublePairValue products,
                                        TCellSums* at, int32_t stride)
{
    TDoublePairValue low[2] = {sum, squares};
    TDoublePairValue high[2] = {products, TDoublePairValue{}};
    Transpose(low);
    Transpose(high);
    for (int32_t lane = 0; lane < 2; ++lane) {
        StorePair(&at[lane * stride].cells, low[lane]);
        StorePair(&at[lane * stride].products, high[lane]);
    }
}

PARLANTO_LANES_INLINE void StoreEntries(TDoubleQuad sum, TDoubleQuad squares, TDoubleQuad products, TCellSums* at,
                                        int32_t stride)
{
    TDoubleQuad entries[4] = {sum, squares, products, TDoubleQuad{}};
    Transpose(entries);
    for (int32_t lane = 0; lane < 4; ++lane)
        StoreQuad(&at[lane * stride].cells, entries[lane]);
}

// The tables, T lanes of neighbouring centres at a time, the last ones overlapping those before.
template <class T>
PARLANTO_LANES_INLINE void Tabulate(const double* envelope, const double* target, TTables& tables)
{
    constexpr int32_t lanes = kLanes<T>;
    for (int32_t first = 1; first <= kCombLastCentre; first += lanes) {
        const int32_t centre = std::min(first, kCombLastCentre - (lanes - 1));
        T sum{}, squares{}, products{};
        for (int32_t c = 0; c < kCombCells; ++c) {
            const T cell = kCombWeights[c] * LoadLanes(envelope + centre - 1 + c, T{});
            sum += cell;
            squares += cell * cell;
            products += cell * LoadLanes(target + centre - 1 + c, T{});
            StoreEntries(sum, squares, products, &tables.cells[centre * kCombCells + c], kCombCells);
        }
        for (int32_t lane = 0; lane < lanes; ++lane)
            tables.whole[centre + lane] = tables.cells[(centre + lane) * kCombCells + kCombCells - 1];
    }
}

// Whole harmonics 1..count: the four-cell entry at each one's centre, into four accumulators, so that one
// harmonic's additions do not wait for the previous one's.
template <class TEntry>
PARLANTO_LANES_INLINE TEntry AddCentreEntries(const TCellSums* whole, uint64_t step, int32_t count)
{
    TEntry a{}, b{}, c{}, d{};
    uint64_t position = step;
    int32_t h = 0;
    for (; h + 3 < count; h += 4, position += 4 * step) {
        a += LoadEntry(whole[TCombSteps::Centre(position)], TEntry{});
        b += LoadEntry(whole[TCombSteps::Centre(position + step)], TEntry{});
        c += LoadEntry(whole[TCombSteps::Centre(position + 2 * step)], TEntry{});
        d += LoadEntry(whole[TCombSteps::Centre(position + 3 * step)], TEntry{});
    }
    for (; h < count; ++h, position += step)
        a += LoadEntry(whole[TCombSteps::Centre(position)], TEntry{});
    return (a + b) + (c + d);
}

// The entry of a harmonic at centre whose cells end below the next harmonic's first one (1..4 of them kept).
constexpr int64_t NarrowEntry(int64_t centre, int64_t next)
{
    return centre * kCombCells + (next - centre) - 1;
}

// Narrow harmonics 1..count, one to four bins apart: each one's entry of the cells it keeps, the last one's of
// all four, into two accumulators.
template <class TEntry>
PARLANTO_LANES_INLINE TEntry AddNarrowEntries(const TCellSums* cells, uint64_t step, int32_t count)
{
    TEntry a{}, b{};
    uint64_t position = step;
    int64_t centre = TCombSteps::Centre(position);
    int32_t h = 0;
    for (; h + 2 < count; h += 2, position += 2 * step) {
        const int64_t next = TCombSteps::Centre(position + step);
        const int64_t after = TCombSteps::Centre(position + 2 * step);
        a += LoadEntry(cells[NarrowEntry(centre, next)], TEntry{});
        b += LoadEntry(cells[NarrowEntry(next, after)], TEntry{});
        centre = after;
    }
    for (; h + 1 < count; ++h, position += step) {
        const int64_t next = TCombSteps::Centre(position + step);
        a += LoadEntry(cells[NarrowEntry(centre, next)], TEntry{});
        centre = next;
    }
    a += LoadEntry(cells[NarrowEntry(centre, centre + kCombCells)], TEntry{});
    return a + b;
}

// The listed entries, into four accumulators.
template <class TEntry>
PARLANTO_LANES_INLINE TEntry AddListedEntries(const TCellSums* cells, const int32_t* entries, int32_t count)
{
    TEntry a{}, b{}, c{}, d{};
    int32_t h = 0;
    for (; h + 3 < count; h += 4) {
        a += LoadEntry(cells[entries[h]], TEntry{});
        b += LoadEntry(cells[entries[h + 1]], TEntry{});
        c += LoadEntry(cells[entries[h + 2]], TEntry{});
        d += LoadEntry(cells[entries[h + 3]], TEntry{});
    }
    for (; h < count; ++h)
        a += LoadEntry(cells[entries[h]], TEntry{});
    return (a + b) + (c + d);
}

// A comb's sums by the first of the three ways (HarmonicCombSearch.h) that fits its tone. Fixed-point centres
// are trusted only when no harmonic lies near a whole bin, the one after the last fitting harmonic included:
// near a whole bin, its plain centre may still fit.
template <class TEntry>
PARLANTO_LANES_INLINE TCellSums CombSums(const TTables& tables, double tone)
{
    const TCombSteps steps = CombSteps(tone);
    const auto trusted = [&steps] {
        return !steps.AnyNearWholeBin(std::min(kCombHarmonicLimit - 1, steps.fitting + 1));
    };
    if (steps.step >= kWholeSpacing && trusted())
        return Total(AddCentreEntries<TEntry>(tables.whole.data(), steps.step, steps.fitting));
    if (steps.step >= TCombSteps::kOne && steps.step < kWholeSpacing && steps.fitting > 0 && trusted())
        return Total(AddNarrowEntries<TEntry>(tables.cells.data(), steps.step, steps.fitting));
    int32_t centres[kCombHarmonicLimit];
    const int32_t harmonics = CombCentres(tone, centres);
    int32_t entries[kCombHarmonicLimit];
    for (int32_t h = 0; h < harmonics; ++h) {
        const int32_t kept = h + 1 < harmonics ? std::min(kCombCells, centres[h + 1] - centres[h]) : kCombCells;
        entries[h] = kept > 0 ? centres[h] * kCombCells + kept - 1 : 0;
    }
    return Total(AddListedEntries<TEntry>(tables.cells.data(), entries, harmonics));
}

template <class TEntry>
PARLANTO_LANES_INLINE void AllCombSums(const TTables& tables, const double* tones, size_t count, TCellSums* sums)
{
    for (size_t i = 0; i < count; ++i)
        sums[i] = CombSums<TEntry>(tables, tones[i]);
}

// The plain correlation's steps for T lanes of combs, with how far each may be from the plain value. One square
// root and one division: the quotients are taken as products with the reciprocal, a rounding or two away,
// which the rounding slack covers. Where the plain variance might be zero, only the plain score can tell: the
// score is 0.5, undecided.
template <class T>
PARLANTO_LANES_INLINE void EstimateScores(T sum, T squares, T products, double targetSum, double targetDeviation,
                                          T& score, T& slack)
{
    const T meanSquare = sum * sum / kCells;
    const T variance = squares - meanSquare;
    const T varianceSlack = kSumSlack * (squares + meanSquare);
    const T cross = sum * targetSum / kCells;
    const T numerator = products - cross;
    const T numeratorSlack = kSumSlack * (products + cross);
    const T denominator = SqrtLanes(variance) * targetDeviation;
    const T reciprocal = 1 / denominator;
    const T r = numerator * reciprocal;
    const T perVariance = (targetDeviation * reciprocal) * (targetDeviation * reciprocal);
    const T size = r < 0 ? -r : r;
    const auto decided = (variance > 2 * varianceSlack) & (denominator > 0);
    score = decided ? r * 0.5 + 0.5 : T{} + 0.5;
    slack = decided ? numeratorSlack * reciprocal + size * varianceSlack * perVariance + kRoundingSlack
                    : T{} + kUndecided;
}

// The estimates of combs from .. as far as whole groups of T lanes reach below end; returns where they stop.
template <class T, class TEstimate>
PARLANTO_LANES_INLINE size_t EstimateLanes(const double* tones, const TCellSums* sums, TEstimate* estimates,
                                           size_t from, size_t end, double targetSum, double targetDeviation)
{
    constexpr size_t lanes = sizeof(T) / sizeof(double);
    size_t i = from;
    for (; i + lanes <= end; i += lanes) {
        double sum[lanes], squares[lanes], products[lanes], score[lanes], slack[lanes];
        for (size_t j = 0; j < lanes; ++j) {
            sum[j] = sums[i + j].cells;
            squares[j] = sums[i + j].squares;
            products[j] = sums[i + j].products;
        }
        T laneScore, laneSlack;
        EstimateScores(LoadLanes(sum, T{}), LoadLanes(squares, T{}), LoadLanes(products, T{}), targetSum,
                       targetDeviation, laneScore, laneSlack);
        StoreLanes(score, laneScore);
        StoreLanes(slack, laneSlack);
        for (size_t j = 0; j < lanes; ++j)
            estimates[i + j] = {tones[i + j], score[j], slack[j]};
    }
    return i;
}

PARLANTO_WIDE_TARGET void TabulateWide(const double* envelope, const double* target, TTables& tables)
{
    Tabulate<TDoubleQuad>(envelope, target, tables);
}

void TabulateNarrow(const double* envelope, const double* target, TTables& tables)
{
    Tabulate<TDoublePairValue>(envelope, target, tables);
}

PARLANTO_WIDE_TARGET void AllCombSumsWide(const TTables& tables, const double* tones, size_t count, TCellSums* sums)
{
    AllCombSums<TDoubleQuad>(tables, tones, count, sums);
}

void AllCombSumsNarrow(const TTables& tables, const double* tones, size_t count, TCellSums* sums)
{
    AllCombSums<TEntryPairs>(tables, tones, count, sums);
}

template <class TEstimate>
PARLANTO_WIDE_TARGET void EstimateAllWide(const double* tones, const TCellSums* sums, TEstimate* estimates,
                                          size_t count, double targetSum, double targetDeviation)
{
    size_t done = EstimateLanes<TDoubleQuad>(tones, sums, estimates, 0, count, targetSum, targetDeviation);
    done = EstimateLanes<TDoublePair>(tones, sums, estimates, done, count, targetSum, targetDeviation);
    EstimateLanes<double>(tones, sums, estimates, done, count, targetSum, targetDeviation);
}

template <class TEstimate>
void EstimateAllNarrow(const double* tones, const TCellSums* sums, TEstimate* estimates, size_t count,
                       double targetSum, double targetDeviation)
{
    const size_t done = EstimateLanes<TDoublePair>(tones, sums, estimates, 0, count, targetSum, targetDeviation);
    EstimateLanes<double>(tones, sums, estimates, done, count, targetSum, targetDeviation);
}

}  // namespace

THarmonicCombSearch::THarmonicCombSearch()
{
    tables_.cells.resize(kBinCount * kCombCells);
    tables_.whole.resize(kBinCount);
}

void THarmonicCombSearch::Prepare(const double* envelope, const double* target)
{
    // In the order of the plain correlation, so that the target's variance is the same to the bit. Adding the
    // zeros after the last non-zero value changes neither sum (each stays at least +0), so the sums stop there.
    int32_t end = kBinCount;
    while (end > 0 && target[end - 1] == 0)
        --end;
    targetSum_ = 0.0;
    double targetSquares = 0.0;
    for (int32_t k = 0; k < end; ++k) {
        targetSum_ += target[k];
        targetSquares += target[k] * target[k];
    }
    targetVariance_ = targetSquares - targetSum_ * targetSum_ / kCells;
    targetDeviation_ = std::sqrt(std::max(targetVariance_, 0.0));
    ByVectorWidth(TabulateWide, TabulateNarrow, envelope, target, tables_);
}

std::optional<double> THarmonicCombSearch::Best(const TArrayOfDouble& candidates, int32_t reach,
                                                const TPlainScore& plainScore)
{
    if (candidates.empty())
        return std::nullopt;
    // A flat target correlates with nothing: every comb scores 0.5 and the first tone stays.
    if (!(targetVariance_ > 0))
        return candidates.front() - reach;

    // All sums first, then all scores: the scores' roots and divisions, one after another, then overlap.
    tones_.clear();
    for (const double candidate : candidates) {
        for (int32_t offset = -reach; offset <= reach; ++offset)
            tones_.push_back(candidate + offset);
    }
    sums_.resize(tones_.size());
    estimates_.resize(tones_.size());
    ByVectorWidth(AllCombSumsWide, AllCombSumsNarrow, tables_, tones_.data(), tones_.size(), sums_.data());
    ByVectorWidth(EstimateAllWide<TEstimate>, EstimateAllNarrow<TEstimate>, tones_.data(), sums_.data(),
                  estimates_.data(), tones_.size(), targetSum_, targetDeviation_);
    // The best plain score is at least the highest lower bound; a tone whose upper bound stays below that
    // cannot be best. When a single tone remains, it is the plain answer.
    double floor = -kUndecided;
    for (const TEstimate& estimate : estimates_)
        floor = std::max(floor, estimate.score - estimate.slack);
    const TEstimate* contender = nullptr;
    int32_t contenders = 0;
    for (const TEstimate& estimate : estimates_) {
        if (estimate.score + estimate.slack >= floor) {
            contender = &estimate;
            ++contenders;
        }
    }
    if (contenders == 1 && floor > 0)
        return contender->tone;

    std::optional<double> best;
    double bestScore = 0.0;
    for (const TEstimate& estimate : estimates_) {
        if (estimate.score + estimate.slack < floor)
            continue;
        const double score = plainScore(estimate.tone);
        if (score > bestScore) {
            bestScore = score;
            best = estimate.tone;
        }
    }
    return best;
}
