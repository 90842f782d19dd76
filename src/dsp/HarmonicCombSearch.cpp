#include "HarmonicCombSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ArithmeticPath.h"
#include "HarmonicComb.h"
#include "WideVectors.h"
#if PARLANTO_WIDE_VECTORS
#include <immintrin.h>
#endif

namespace {

constexpr double kCells = kBinCount;   // the correlation runs over every bin, comb cells or not
// Two orders of adding up to 512 non-negative terms agree to within 2 * 511 * 2^-53 (1.2e-13) of the sum;
// this allows for eight times that, which also covers the rounding of the few steps that follow.
constexpr double kSumSlack = 1e-12;
constexpr double kRoundingSlack = 1e-14;   // the final division and mapping to 0..1
constexpr double kUndecided = std::numeric_limits<double>::infinity();

constexpr int32_t kEntryDoubles = 4;   // a table entry as doubles: cells, squares, products, zero

#if PARLANTO_WIDE_VECTORS
// These functions load and store by intrinsics: clang refuses a quad returned from or passed to a helper that is
// not itself compiled for AVX (LoadQuad, a lambda) inside them.

// The table entries at the centres of harmonics 1..count added up, into total[0..3]: each entry in one step,
// products and all (beyond the target they are zeros), into four accumulators.
PARLANTO_WIDE_TARGET void AddCentreEntriesWide(const double* table, uint64_t step, int32_t count, double* total)
{
    TDoubleQuad a = {}, b = {}, c = {}, d = {};
    uint64_t position = step;
    int32_t h = 0;
    for (; h + 3 < count; h += 4, position += 4 * step) {
        a += _mm256_loadu_pd(table + kEntryDoubles * TCombSteps::Centre(position));
        b += _mm256_loadu_pd(table + kEntryDoubles * TCombSteps::Centre(position + step));
        c += _mm256_loadu_pd(table + kEntryDoubles * TCombSteps::Centre(position + 2 * step));
        d += _mm256_loadu_pd(table + kEntryDoubles * TCombSteps::Centre(position + 3 * step));
    }
    for (; h < count; ++h, position += step)
        a += _mm256_loadu_pd(table + kEntryDoubles * TCombSteps::Centre(position));
    _mm256_storeu_pd(total, (a + b) + (c + d));
}

// Harmonics 1..count one to four bins apart: the entry of the cells each keeps below the next harmonic's first
// one (next - centre of them, 1..4), the last harmonic's of all four, added up into total[0..3] as above.
PARLANTO_WIDE_TARGET void AddNarrowEntriesWide(const double* table, uint64_t step, int32_t count, double* total)
{
    const auto entry = [table](int64_t centre, int64_t next) {
        return table + kEntryDoubles * (centre * (kCombCells - 1) + next - 1);
    };
    TDoubleQuad a = {}, b = {};
    uint64_t position = step;
    int64_t centre = TCombSteps::Centre(position);
    int32_t h = 0;
    for (; h + 2 < count; h += 2, position += 2 * step) {
        const int64_t next = TCombSteps::Centre(position + step);
        const int64_t after = TCombSteps::Centre(position + 2 * step);
        a += _mm256_loadu_pd(entry(centre, next));
        b += _mm256_loadu_pd(entry(next, after));
        centre = after;
    }
    for (; h + 1 < count; ++h, position += step) {
        const int64_t next = TCombSteps::Centre(position + step);
        a += _mm256_loadu_pd(entry(centre, next));
        centre = next;
    }
    a += _mm256_loadu_pd(entry(centre, centre + kCombCells));
    _mm256_storeu_pd(total, a + b);
}

// The table entries of centres centre .. centre + 3 (cells first, whole entries second), as TabulateCentres
// makes them: the centres' sums side by side in the lanes, turned into one entry per centre.
PARLANTO_WIDE_TARGET void TabulateFourCentres(int32_t centre, const double* envelope, const double* target,
                                              double* cells, double* whole)
{
    __m256d sum = _mm256_setzero_pd(), squares = _mm256_setzero_pd(), products = _mm256_setzero_pd();
    for (int32_t c = 0; c < kCombCells; ++c) {
        const __m256d cell = _mm256_mul_pd(_mm256_set1_pd(kCombWeights[c]), _mm256_loadu_pd(envelope + centre - 1 + c));
        sum = _mm256_add_pd(sum, cell);
        squares = _mm256_add_pd(squares, _mm256_mul_pd(cell, cell));
        products = _mm256_add_pd(products, _mm256_mul_pd(cell, _mm256_loadu_pd(target + centre - 1 + c)));
        const __m256d low = _mm256_unpacklo_pd(sum, squares);                         // lanes 0 and 2
        const __m256d high = _mm256_unpackhi_pd(sum, squares);                        // lanes 1 and 3
        const __m256d lowProducts = _mm256_unpacklo_pd(products, _mm256_setzero_pd());
        const __m256d highProducts = _mm256_unpackhi_pd(products, _mm256_setzero_pd());
        const __m256d entries[4] = {
            _mm256_permute2f128_pd(low, lowProducts, 0x20), _mm256_permute2f128_pd(high, highProducts, 0x20),
            _mm256_permute2f128_pd(low, lowProducts, 0x31), _mm256_permute2f128_pd(high, highProducts, 0x31)};
        for (int32_t lane = 0; lane < 4; ++lane) {
            _mm256_storeu_pd(cells + kEntryDoubles * ((centre + lane) * kCombCells + c), entries[lane]);
            if (c == kCombCells - 1)
                _mm256_storeu_pd(whole + kEntryDoubles * (centre + lane), entries[lane]);
        }
    }
}

// The same for listed entries.
PARLANTO_WIDE_TARGET void AddListedEntriesWide(const double* table, const int32_t* entries, int32_t count,
                                               double* total)
{
    TDoubleQuad a = {}, b = {}, c = {}, d = {};
    int32_t h = 0;
    for (; h + 3 < count; h += 4) {
        a += _mm256_loadu_pd(table + kEntryDoubles * entries[h]);
        b += _mm256_loadu_pd(table + kEntryDoubles * entries[h + 1]);
        c += _mm256_loadu_pd(table + kEntryDoubles * entries[h + 2]);
        d += _mm256_loadu_pd(table + kEntryDoubles * entries[h + 3]);
    }
    for (; h < count; ++h)
        a += _mm256_loadu_pd(table + kEntryDoubles * entries[h]);
    _mm256_storeu_pd(total, (a + b) + (c + d));
}
#endif

// The plain correlation's steps for T lanes of combs, with how far each may be from the plain value. One square
// root and one division: the quotients are taken as products with the reciprocal, a rounding or two away,
// which the rounding slack covers. Where the plain variance might be zero, only the plain score can tell: the
// score is 0.5, undecided.
template <class T>
PARLANTO_LANES_INLINE void EstimateScores(T sum, T squares, T products, double targetSum, double targetDeviation, T& score,
                                          T& slack)
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
template <class T, class TSums, class TEstimate>
PARLANTO_LANES_INLINE size_t EstimateLanes(const double* tones, const TSums* sums, TEstimate* estimates, size_t from,
                                           size_t end, double targetSum, double targetDeviation)
{
    constexpr size_t lanes = sizeof(T) / sizeof(double);
    size_t i = from;
    for (; i + lanes <= end; i += lanes) {
        double sum[lanes], squares[lanes], products[lanes], score[lanes], slack[lanes];
        for (size_t j = 0; j < lanes; ++j) {
            sum[j] = sums[i + j].cells[0];
            squares[j] = sums[i + j].cells[1];
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

#if PARLANTO_WIDE_VECTORS
template <class TSums, class TEstimate>
PARLANTO_WIDE_TARGET size_t EstimateQuads(const double* tones, const TSums* sums, TEstimate* estimates, size_t end,
                                          double targetSum, double targetDeviation)
{
    return EstimateLanes<TDoubleQuad>(tones, sums, estimates, 0, end, targetSum, targetDeviation);
}
#endif

}  // namespace

THarmonicCombSearch::THarmonicCombSearch() : cellSums_(kBinCount * kCombCells), wholeSums_(kBinCount)
{
    static_assert(sizeof(TCellSums) == kEntryDoubles * sizeof(double));
}

// Whether some harmonic's fixed-point centre may differ from its plain one. The harmonic after the last
// fitting one counts too: near a whole bin, its plain centre may still fit.
bool THarmonicCombSearch::TrustNoCentre(const TCombSteps& steps) const
{
    return steps.AnyNearWholeBin(std::min(kCombHarmonicLimit - 1, steps.fitting + 1), wide_);
}

void THarmonicCombSearch::Prepare(const double* envelope, const double* target)
{
    // In the order of the plain correlation, so that the target's variance is the same to the bit. Adding the
    // zeros after the last non-zero value changes neither sum (each stays at least +0), so the sums stop there.
    int32_t end = kBinCount;
    while (end > 0 && target[end - 1] == 0)
        --end;
    productCentres_ = end == 0 ? 0 : end + 1;
    targetSum_ = 0.0;
    targetSquares_ = 0.0;
    for (int32_t k = 0; k < end; ++k) {
        targetSum_ += target[k];
        targetSquares_ += target[k] * target[k];
    }
    targetVariance_ = targetSquares_ - targetSum_ * targetSum_ / kCells;
    targetDeviation_ = std::sqrt(std::max(targetVariance_, 0.0));
    wide_ = WideVectors();
#if PARLANTO_WIDE_VECTORS
    if (wide_) {
        // Four neighbouring centres at a time, the last four overlapping the ones before.
        for (int32_t centre = 1; centre <= kCombLastCentre; centre += 4) {
            TabulateFourCentres(std::min(centre, kCombLastCentre - 3), envelope, target, &cellSums_[0].cells,
                                &wholeSums_[0].cells);
        }
        return;
    }
#endif
    // Two neighbouring centres at a time; with an odd count the last pair overlaps the one before.
    for (int32_t centre = 1; centre <= kCombLastCentre; centre += 2)
        TabulateCentres(std::min(centre, kCombLastCentre - 1), envelope, target);
}

// The table entries of centre and centre + 1, in the two lanes of each pair.
void THarmonicCombSearch::TabulateCentres(int32_t centre, const double* envelope, const double* target)
{
    TSumPair sum{0.0, 0.0}, squares{0.0, 0.0}, products{0.0, 0.0};
    for (int32_t c = 0; c < kCombCells; ++c) {
        const TSumPair cell = kCombWeights[c] * LoadPair(envelope + centre - 1 + c);
        sum += cell;
        squares += cell * cell;
        products += cell * LoadPair(target + centre - 1 + c);
        for (int32_t lane = 0; lane < 2; ++lane)
            cellSums_[(centre + lane) * kCombCells + c] = {sum[lane], squares[lane], products[lane], 0.0};
    }
    for (int32_t lane = 0; lane < 2; ++lane)
        wholeSums_[centre + lane] = cellSums_[(centre + lane) * kCombCells + kCombCells - 1];
}

// Harmonics a comb's width or more apart keep all four cells each. Returns false, adding nothing, when the
// spacing is narrower or a harmonic lies too near a whole bin to trust its fixed-point centre.
bool THarmonicCombSearch::AddWholeHarmonics(const TCombSteps& steps, TCombSums& sums) const
{
    if (steps.step < (uint64_t{kCombCells} << TCombSteps::kFractionBits) || TrustNoCentre(steps))
        return false;
#if PARLANTO_WIDE_VECTORS
    if (wide_) {
        double total[kEntryDoubles];
        AddCentreEntriesWide(&wholeSums_[0].cells, steps.step, steps.fitting, total);
        sums.cells = TSumPair{total[0], total[1]};
        sums.products = total[2];
        return true;
    }
#endif
    const int32_t withProducts = std::min(steps.fitting, steps.HarmonicsBelow(productCentres_));
    // Two harmonics a turn into two accumulators, so that one harmonic's additions do not wait for the
    // previous one's.
    TSumPair cells = {0.0, 0.0}, otherCells = {0.0, 0.0};
    double products = 0.0, otherProducts = 0.0;
    uint64_t position = steps.step;
    int32_t h = 0;
    for (; h + 1 < withProducts; h += 2, position += 2 * steps.step) {
        const TCellSums& entry = wholeSums_[TCombSteps::Centre(position)];
        const TCellSums& next = wholeSums_[TCombSteps::Centre(position + steps.step)];
        cells += TSumPair{entry.cells, entry.squares};
        products += entry.products;
        otherCells += TSumPair{next.cells, next.squares};
        otherProducts += next.products;
    }
    if (h < withProducts) {
        const TCellSums& entry = wholeSums_[TCombSteps::Centre(position)];
        cells += TSumPair{entry.cells, entry.squares};
        products += entry.products;
        ++h;
        position += steps.step;
    }
    for (; h + 1 < steps.fitting; h += 2, position += 2 * steps.step) {
        const TCellSums& entry = wholeSums_[TCombSteps::Centre(position)];
        const TCellSums& next = wholeSums_[TCombSteps::Centre(position + steps.step)];
        cells += TSumPair{entry.cells, entry.squares};
        otherCells += TSumPair{next.cells, next.squares};
    }
    if (h < steps.fitting) {
        const TCellSums& entry = wholeSums_[TCombSteps::Centre(position)];
        cells += TSumPair{entry.cells, entry.squares};
    }
    sums.cells = cells + otherCells;
    sums.products = products + otherProducts;
    return true;
}

// Harmonics one to four bins apart: each keeps the cells below the next harmonic's first one, the last all
// four. Returns false, adding nothing, as above.
bool THarmonicCombSearch::AddNarrowHarmonics(const TCombSteps& steps, TCombSums& sums) const
{
    if (steps.step < TCombSteps::kOne || steps.step >= (uint64_t{kCombCells} << TCombSteps::kFractionBits) ||
        steps.fitting == 0 || TrustNoCentre(steps))
        return false;
    const int32_t count = steps.fitting;
#if PARLANTO_WIDE_VECTORS
    if (wide_) {
        double total[kEntryDoubles];
        AddNarrowEntriesWide(&cellSums_[0].cells, steps.step, count, total);
        sums.cells = TSumPair{total[0], total[1]};
        sums.products = total[2];
        return true;
    }
#endif
    int32_t entries[kCombHarmonicLimit];
    uint64_t position = steps.step;
    int32_t centre = TCombSteps::Centre(position);
    for (int32_t h = 0; h + 1 < count; ++h) {
        position += steps.step;
        const int32_t next = TCombSteps::Centre(position);
        entries[h] = centre * kCombCells + std::min(kCombCells, next - centre) - 1;
        centre = next;
    }
    entries[count - 1] = centre * kCombCells + kCombCells - 1;
    AddEntries(entries, count, std::min(count, steps.HarmonicsBelow(productCentres_)), sums);
    return true;
}

// The sums of the given entries, with the products of the first withProducts of them (four at a time, the
// products of all: the later ones are zeros). Two accumulators, so that one harmonic's additions do not wait
// for the previous one's.
void THarmonicCombSearch::AddEntries(const int32_t* entries, int32_t count, int32_t withProducts,
                                     TCombSums& sums) const
{
#if PARLANTO_WIDE_VECTORS
    if (wide_) {
        double total[kEntryDoubles];
        AddListedEntriesWide(&cellSums_[0].cells, entries, count, total);
        sums.cells += TSumPair{total[0], total[1]};
        sums.products += total[2];
        return;
    }
#endif
    TSumPair cells = {0.0, 0.0}, otherCells = {0.0, 0.0};
    double products = 0.0, otherProducts = 0.0;
    int32_t h = 0;
    for (; h + 1 < withProducts; h += 2) {
        const TCellSums& entry = cellSums_[entries[h]];
        const TCellSums& next = cellSums_[entries[h + 1]];
        cells += TSumPair{entry.cells, entry.squares};
        otherCells += TSumPair{next.cells, next.squares};
        products += entry.products;
        otherProducts += next.products;
    }
    for (; h < withProducts; ++h) {
        const TCellSums& entry = cellSums_[entries[h]];
        cells += TSumPair{entry.cells, entry.squares};
        products += entry.products;
    }
    for (; h + 1 < count; h += 2) {
        const TCellSums& entry = cellSums_[entries[h]];
        const TCellSums& next = cellSums_[entries[h + 1]];
        cells += TSumPair{entry.cells, entry.squares};
        otherCells += TSumPair{next.cells, next.squares};
    }
    if (h < count) {
        const TCellSums& entry = cellSums_[entries[h]];
        cells += TSumPair{entry.cells, entry.squares};
    }
    sums.cells += cells + otherCells;
    sums.products += products + otherProducts;
}

// Any tone, with the exact centres: a harmonic keeps the cells below the next harmonic's first one; the last
// keeps all four.
void THarmonicCombSearch::AddHarmonics(double tone, TCombSums& sums) const
{
    int32_t centres[kCombHarmonicLimit];
    const int32_t harmonics = CombCentres(tone, centres);
    int32_t entries[kCombHarmonicLimit];
    for (int32_t h = 0; h < harmonics; ++h) {
        const int32_t kept = h + 1 < harmonics ? std::min(kCombCells, centres[h + 1] - centres[h]) : kCombCells;
        entries[h] = kept > 0 ? centres[h] * kCombCells + kept - 1 : 0;
    }
    AddEntries(entries, harmonics, harmonics, sums);
}

THarmonicCombSearch::TCombSums THarmonicCombSearch::CombSums(double tone) const
{
    TCombSums sums;
    const TCombSteps steps = CombSteps(tone);
    if (!AddWholeHarmonics(steps, sums) && !AddNarrowHarmonics(steps, sums))
        AddHarmonics(tone, sums);
    return sums;
}

void THarmonicCombSearch::EstimateAll()
{
    estimates_.resize(tones_.size());
    size_t done = 0;
#if PARLANTO_WIDE_VECTORS
    if (wide_)
        done = EstimateQuads(tones_.data(), sums_.data(), estimates_.data(), tones_.size(), targetSum_, targetDeviation_);
#endif
    done = EstimateLanes<TDoublePair>(tones_.data(), sums_.data(), estimates_.data(), done, tones_.size(), targetSum_,
                                      targetDeviation_);
    EstimateLanes<double>(tones_.data(), sums_.data(), estimates_.data(), done, tones_.size(), targetSum_,
                          targetDeviation_);
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
    sums_.clear();
    for (const double candidate : candidates) {
        for (int32_t offset = -reach; offset <= reach; ++offset) {
            tones_.push_back(candidate + offset);
            sums_.push_back(CombSums(candidate + offset));
        }
    }
    EstimateAll();
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
