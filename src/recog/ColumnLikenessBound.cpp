#include "ColumnLikenessBound.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ColumnMatch.h"
#include "CompactCrossSums.h"

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

// One matched column over those rows.
struct TColumnSums {
    TWindowSums utterance;      // Σa, Σa² and the nonzero a
    TCompactColumnSums codes;   // Σq·c, q the integers standing for a in steps of scoreStep
    double scoreStep = 1.0;
    double step = 0.0;
};

// The angle bound of step 1 in the header: cos(max(0, θ - asin δ)) for cos θ at most cosine.
double ShiftedCosine(double cosine, double delta)
{
    if (cosine >= 1.0 || delta >= 1.0)
        return 1.0;
    // (1 - x)(1 + x) in place of 1 - x² keeps the roots accurate near 1.
    const double cosPhi = std::sqrt((1.0 - delta) * (1.0 + delta));
    const double c = std::max(cosine, -1.0);
    if (c >= cosPhi)
        return 1.0;
    return std::min(1.0, c * cosPhi + std::sqrt((1.0 - c) * (1.0 + c)) * delta + 16 * kUnit);
}

// Whether the codes alone show b's variance to be at least kLeastShare of its sum of squares:
// |B| >= s·(|P·c| - √m) against √Σb² <= s·(√Σc² + √m), from the roots given.
bool CodesSpread(double centredRootLow, double rootM, double rootScc)
{
    const double errorRoot = rootM * kStepSlack * kUp;
    return (centredRootLow * kDown - errorRoot) * kDown >= kLeastRootShare * (rootScc * kUp + errorRoot);
}

// At least the correlation either arithmetic path computes for the column; nothing where it cannot be bounded.
std::optional<double> CorrelationAtMost(const TColumnSums& in, const TOverlap& overlap)
{
    if (in.utterance.Nonzero == 0 || in.codes.Codes == 0)
        return 0.0;   // a window of zeros: exactly 0
    // Codes of 1 only put no floor under Σb².
    if (in.codes.Codes == in.codes.Nonzero || in.step < kSmallest || in.step > kLargest / 256 ||
        in.utterance.Squares < kSmallest)
        return std::nullopt;
    const double g = overlap.g;
    const double sa = in.utterance.Sum;
    const double saa = in.utterance.Squares;
    const double varianceA = saa - sa * sa * overlap.perRow;
    const double varianceALow = varianceA - 2.5 * g * saa;
    const double saaHigh = saa * (1 + g) * kUp;

    const double sc = in.codes.Codes;
    const double scc = in.codes.Squares;
    const double m = in.codes.Nonzero;
    const auto centredTimesN = static_cast<int64_t>(overlap.n) * in.codes.Squares -
                               static_cast<int64_t>(in.codes.Codes) * in.codes.Codes;
    const double centredSquare = static_cast<double>(centredTimesN) * overlap.perRow;   // |P·c|²
    const double centredSquareLow = centredSquare * kDown;
    // Each side's variance at least kLeastShare of its sum of squares: for b by its zeros (a share of at least
    // 1/n, more than kLeastShare for every n allowed) or else by its codes.
    const bool spreadA = varianceALow * kDown >= kLeastShare * saaHigh;
    if (!spreadA || !(m < overlap.n || CodesSpread(std::sqrt(centredSquareLow), std::sqrt(m), std::sqrt(scc))))
        return std::nullopt;

    // Σa·c is Σq·c in steps, within kIntegerError steps of each code; Σa·Σc/n is rounded by less than g of
    // √(Σa²·Σc²), which bounds Σ|a|·Σc/n.
    const double crossError = kIntegerError * in.scoreStep * sc + g * std::sqrt(saaHigh * scc) * kUp;
    const double covariance =
        static_cast<double>(in.codes.Cross) * in.scoreStep - sa * sc * overlap.perRow + crossError * kUp;
    const double cosine =
        covariance >= 0.0
            ? covariance / std::sqrt(varianceALow * centredSquareLow) * kUp
            : covariance / std::sqrt((varianceA + 2.5 * g * saa) * kUp * centredSquare * kUp) * kDown;
    const double delta = std::sqrt(m * kStepSlackSquare / centredSquareLow) * kUp;   // √m·slack / |P·c|
    return ShiftedCosine(cosine, delta) + overlap.margin;
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

    double total = 0.0;
    for (const TColumnPair& pair : pairs) {
        const TColumnSums column{window[pair.Utterance], sums[pair.Stored], scoreSteps_[pair.Utterance],
                                 compact.Step[pair.Stored]};
        const std::optional<double> r = CorrelationAtMost(column, overlap);
        if (!r)
            return kNoBound;
        total += 0.5 + 0.5 * *r;
    }
    const auto count = static_cast<double>(pairs.size());
    return total / count + 8 * (count + 4) * kUnit;
}
