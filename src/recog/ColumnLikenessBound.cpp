#include "ColumnLikenessBound.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ColumnMatch.h"
#include "CompactCrossSums.h"
#include "WideVectors.h"

namespace {

constexpr double kUnit = 0x1p-53;               // a double's rounding, u
constexpr double kUp = 1 + 0x1p-48;             // widens a bound past its own few roundings
constexpr double kDown = 1 - 0x1p-48;
constexpr double kStepSlack = 1 + 0x1p-30;      // a code's step as the compact form rounded it
constexpr double kStepSlackSquare = 1 + 0x1p-28;
constexpr double kLargest = 0x1p250;
constexpr double kSmallest = 0x1p-290;
// The utterance's scores as 16-bit integers, each column in steps of its largest over kLargestInteger: a score
// lies within kIntegerError steps of its integer's (half a step, and the rounding of the division).
constexpr double kLargestInteger = 32767;
constexpr double kIntegerError = 0.5 + 0x1p-20;
// A side whose variance is less than this share of its sum of squares is not bounded: its computed
// correlation is mostly rounding there. Squares of 2^-10 and 2^-20, exact.
constexpr double kLeastRootShare = 0x1p-10;
constexpr double kLeastShare = kLeastRootShare * kLeastRootShare;
constexpr double kNoBound = std::numeric_limits<double>::infinity();

// What every column of one take shares: the n rows in common, G, and the exact side's margin 6κ + 16u with κ at
// its largest, 2G over the least share of variance a side may have.
struct TOverlap {
    explicit TOverlap(size_t rows)
        : n(static_cast<double>(rows)),
          perRow(1.0 / n),
          g((n + 8) * 0x1p-52),
          margin(6 * 2 * g / kLeastShare * kUp + 16 * kUnit)
    {
    }

    double n, perRow, g, margin;
};

// One matched column's sums over those rows, in doubles, for the lanes below: a value per field and column,
// field after field. centredSquare is |P·c|², from exact integers.
enum TField : size_t {
    kSa, kSaa, kUtteranceNonzero, kSc, kScc, kM, kCentredSquare, kCross, kScoreStep, kStep, kFields
};

template <class T>
struct TColumnLanes {
    T sa, saa, utteranceNonzero;   // Σa, Σa² and the nonzero a
    T sc, scc, m;                  // Σc, Σc² and the nonzero codes
    T centredSquare;               // |P·c|²
    T cross;                       // Σq·c, q the integers standing for a in steps of scoreStep
    T scoreStep, step;
};

// The lanes below give each column the value the plain steps give it: every branch of the plain bound is
// computed and the lane takes its own, so a double (T) is the plain statement.

// The angle bound of step 1 in the header: cos(max(0, θ - asin δ)) for cos θ at most cosine.
template <class T>
PARLANTO_LANES_INLINE T ShiftedCosine(T cosine, T delta)
{
    const T one = T{} + 1.0;
    // (1 - x)(1 + x) in place of 1 - x² keeps the roots accurate near 1.
    const T cosPhi = SqrtLanes((1.0 - delta) * (1.0 + delta));
    const T c = cosine < -1.0 ? T{} - 1.0 : cosine;
    const T shifted = c * cosPhi + SqrtLanes((1.0 - c) * (1.0 + c)) * delta + 16 * kUnit;
    return (cosine >= 1.0) | (delta >= 1.0) | (c >= cosPhi) ? one : shifted < 1.0 ? shifted : one;
}

// Whether the codes alone show b's variance to be at least kLeastShare of its sum of squares:
// |B| >= s·(|P·c| - √m) against √Σb² <= s·(√Σc² + √m), from the roots given.
template <class T>
PARLANTO_LANES_INLINE auto CodesSpread(T centredRootLow, T rootM, T rootScc)
{
    const T errorRoot = rootM * kStepSlack * kUp;
    return (centredRootLow * kDown - errorRoot) * kDown >= kLeastRootShare * (rootScc * kUp + errorRoot);
}

// At least the correlation either arithmetic path computes for the column; unbounded is set (true, or all
// ones) where it cannot be bounded.
template <class T, class TMask>
PARLANTO_LANES_INLINE T CorrelationAtMost(const TColumnLanes<T>& in, const TOverlap& overlap, TMask& unbounded)
{
    const TMask zeros = (in.utteranceNonzero == 0) | (in.sc == 0);   // a window of zeros: exactly 0
    // Codes of 1 only put no floor under Σb².
    const TMask beyond = (in.sc == in.m) | (in.step < kSmallest) | (in.step > kLargest / 256) | (in.saa < kSmallest);
    const double g = overlap.g;
    const T sa = in.sa;
    const T saa = in.saa;
    const T varianceA = saa - sa * sa * overlap.perRow;
    const T varianceALow = varianceA - 2.5 * g * saa;
    const T saaHigh = saa * (1 + g) * kUp;

    const T sc = in.sc;
    const T scc = in.scc;
    const T m = in.m;
    const T centredSquare = in.centredSquare;
    const T centredSquareLow = centredSquare * kDown;
    // Each side's variance at least kLeastShare of its sum of squares: for b by its zeros (a share of at least
    // 1/n, more than kLeastShare for every n allowed) or else by its codes.
    const TMask spreadA = varianceALow * kDown >= kLeastShare * saaHigh;
    const TMask spreadB = (m < overlap.n) | CodesSpread(SqrtLanes(centredSquareLow), SqrtLanes(m), SqrtLanes(scc));
    unbounded = (zeros == 0) & (beyond | (spreadA == 0) | (spreadB == 0));

    // Σa·c is Σq·c in steps, within kIntegerError steps of each code; Σa·Σc/n is rounded by less than g of
    // √(Σa²·Σc²), which bounds Σ|a|·Σc/n.
    const T crossError = kIntegerError * in.scoreStep * sc + g * SqrtLanes(saaHigh * scc) * kUp;
    const T covariance = in.cross * in.scoreStep - sa * sc * overlap.perRow + crossError * kUp;
    const T cosine = covariance >= 0.0
                         ? covariance / SqrtLanes(varianceALow * centredSquareLow) * kUp
                         : covariance / SqrtLanes((varianceA + 2.5 * g * saa) * kUp * centredSquare * kUp) * kDown;
    const T delta = SqrtLanes(m * kStepSlackSquare / centredSquareLow) * kUp;   // √m·slack / |P·c|
    return zeros ? T{} : ShiftedCosine(cosine, delta) + overlap.margin;
}

// Whether a lane of a comparison's result is true.
inline bool LaneSet(bool mask, int)
{
    return mask;
}

template <class TMask>
PARLANTO_LANES_INLINE bool LaneSet(const TMask& mask, int lane)
{
    return mask[lane] != 0;
}

// The bounds of the columns from on, as far as whole groups of T lanes reach below count; returns where they
// stop. unbounded gathers every column that cannot be bounded.
template <class T>
PARLANTO_LANES_INLINE size_t CorrelationsAtMost(const double* inputs, size_t count, size_t from,
                                                const TOverlap& overlap, double* bounds, bool& unbounded)
{
    size_t c = from;
    for (; c + kLanes<T> <= count; c += kLanes<T>) {
        const auto field = [&](TField f) { return LoadLanes(inputs + f * count + c, T{}); };
        const TColumnLanes<T> in{field(kSa), field(kSaa), field(kUtteranceNonzero), field(kSc), field(kScc),
                                 field(kM), field(kCentredSquare), field(kCross), field(kScoreStep), field(kStep)};
        decltype(T{} < T{}) none;
        StoreLanes(bounds + c, CorrelationAtMost(in, overlap, none));
        for (int lane = 0; lane < kLanes<T>; ++lane)
            unbounded |= LaneSet(none, lane);
    }
    return c;
}

PARLANTO_WIDE_TARGET void CorrelationsAtMostWide(const double* inputs, size_t count, const TOverlap& overlap,
                                                 double* bounds, bool& unbounded)
{
    const size_t done = CorrelationsAtMost<TDoubleQuad>(inputs, count, 0, overlap, bounds, unbounded);
    CorrelationsAtMost<double>(inputs, count, done, overlap, bounds, unbounded);
}

void CorrelationsAtMostNarrow(const double* inputs, size_t count, const TOverlap& overlap, double* bounds,
                              bool& unbounded)
{
    const size_t done = CorrelationsAtMost<TDoublePair>(inputs, count, 0, overlap, bounds, unbounded);
    CorrelationsAtMost<double>(inputs, count, done, overlap, bounds, unbounded);
}

bool SaneScores(const TCommandTraj& traj)
{
    const size_t width = traj.Ids.size();
    return std::all_of(traj.Rows.begin(), traj.Rows.end(), [width](const std::vector<double>& row) {
        return row.size() >= width && std::all_of(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(width),
                                                  [](double value) { return std::abs(value) <= kLargest; });
    });
}

}  // namespace

TColumnLikenessBound::TColumnLikenessBound(const TCommandTraj& utterance)
    : utterance_(utterance), boundable_(SaneScores(utterance)), width_(utterance.Ids.size())
{
    std::vector<int32_t> sorted = utterance.Ids;
    std::sort(sorted.begin(), sorted.end());
    distinctIds_ = std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    if (!boundable_)
        return;
    scoreSteps_.assign(width_, 1.0);
    for (size_t column = 0; column < width_; ++column) {
        double largest = 0.0;
        for (const std::vector<double>& row : utterance.Rows)
            largest = std::max(largest, std::abs(row[column]));
        // A column below kSmallest is never bounded, and its integers are left to round to 0.
        if (largest >= kSmallest)
            scoreSteps_[column] = largest / kLargestInteger;
    }
    // Row i holds the pairs of rows i and i + 1, the row past the last one 0.
    const size_t rows = utterance.Rows.size();
    pairs_.assign(rows * 2 * width_, 0);
    for (size_t i = 0; i < rows; ++i) {
        for (size_t column = 0; column < width_; ++column) {
            // Nearest but for ties and the last bit of the half added, well inside kIntegerError.
            const double steps = std::clamp(utterance.Rows[i][column] / scoreSteps_[column], -kLargestInteger,
                                            kLargestInteger);
            const auto integer = static_cast<int16_t>(steps + (steps >= 0.0 ? 0.5 : -0.5));
            pairs_[i * 2 * width_ + 2 * column] = integer;
            if (i > 0)
                pairs_[(i - 1) * 2 * width_ + 2 * column + 1] = integer;
        }
    }
    windows_.emplace(utterance);
}

std::vector<TColumnPair> TColumnLikenessBound::PairsWith(const std::vector<int32_t>& storedIds) const
{
    // Most takes were recorded with the utterance's phoneme set: every column then pairs with its own.
    if (!distinctIds_ || storedIds != utterance_.Ids)
        return MatchColumnsById(utterance_.Ids, storedIds);
    std::vector<TColumnPair> pairs(width_);
    for (size_t column = 0; column < width_; ++column)
        pairs[column] = {column, column};
    return pairs;
}

double TColumnLikenessBound::AtMost(const TCompactScores& compact, const std::vector<int32_t>& storedIds) const
{
    const size_t width = compact.Width;
    if (!boundable_ || storedIds.size() != width || compact.Step.size() != width)
        return kNoBound;
    const std::vector<TColumnPair> pairs = PairsWith(storedIds);
    if (pairs.empty())
        return 0.0;
    const size_t rows = utterance_.Rows.size();
    const size_t storedRows = compact.Count();
    const size_t n = std::min(rows, storedRows);
    if (n <= 1)
        return 0.5;   // no variance in fewer than two rows: every correlation is exactly 0
    if (n > kMostCompactRows)
        return kNoBound;
    const size_t firstA = TCentredWindowSums::FirstRow(rows, n);
    const size_t firstB = storedRows > rows ? (storedRows - rows) / 2 : 0;

    // The scores beside the codes they meet: in place when every matched column sits where the take has it,
    // else copied into the take's order.
    const bool inPlace = width <= width_ && std::all_of(pairs.begin(), pairs.end(), [](const TColumnPair& pair) {
        return pair.Stored == pair.Utterance;
    });
    std::vector<int16_t> reordered;
    TCodeAndScoreRows both{compact.Codes.data() + firstB * width, width, pairs_.data() + firstA * 2 * width_,
                           2 * width_, width, n};
    if (!inPlace) {
        reordered.assign(n * 2 * width, 0);
        for (const TColumnPair& pair : pairs) {
            for (size_t i = 0; i < n; ++i) {
                const int16_t* from = both.Pairs + i * both.PairStride + 2 * pair.Utterance;
                std::copy(from, from + 2, reordered.begin() + static_cast<std::ptrdiff_t>(i * 2 * width + 2 * pair.Stored));
            }
        }
        both.Pairs = reordered.data();
        both.PairStride = 2 * width;
    }
    const std::vector<TCompactColumnSums> sums = SumCompactColumns(both);
    const TWindowSums* window = windows_->Window(n);
    const TOverlap overlap(n);

    const size_t count = pairs.size();
    std::vector<double> inputs(kFields * count);
    for (size_t p = 0; p < count; ++p) {
        const TWindowSums& a = window[pairs[p].Utterance];
        const TCompactColumnSums& c = sums[pairs[p].Stored];
        const auto set = [&](TField f, double value) { inputs[f * count + p] = value; };
        set(kSa, a.Sum);
        set(kSaa, a.Squares);
        set(kUtteranceNonzero, a.Nonzero);
        set(kSc, c.Codes);
        set(kScc, c.Squares);
        set(kM, c.Nonzero);
        const int64_t centredTimesN =
            static_cast<int64_t>(n) * c.Squares - static_cast<int64_t>(c.Codes) * c.Codes;
        set(kCentredSquare, static_cast<double>(centredTimesN) * overlap.perRow);
        set(kCross, static_cast<double>(c.Cross));
        set(kScoreStep, scoreSteps_[pairs[p].Utterance]);
        set(kStep, compact.Step[pairs[p].Stored]);
    }
    std::vector<double> bounds(count);
    bool unbounded = false;
    ByVectorWidth(CorrelationsAtMostWide, CorrelationsAtMostNarrow, inputs.data(), count, overlap, bounds.data(),
                  unbounded);
    if (unbounded)
        return kNoBound;
    double total = 0.0;
    for (const double r : bounds)
        total += 0.5 + 0.5 * r;
    const auto columns = static_cast<double>(count);
    return total / columns + 8 * (columns + 4) * kUnit;
}
