#include "ColumnCorrelations.h"

#include <algorithm>
#include <cstdint>

#include "ArithmeticPath.h"
#include "PearsonCorrelation.h"
#include "SeriesHelpers.h"
#include "WideVectors.h"

namespace {

constexpr size_t kColumnsAtATime = 8;   // two quads or four pairs of lanes: every sum held in registers

TArrayOfDouble ColumnSeries(const TCommandTraj& traj, size_t column)
{
    TArrayOfDouble series;
    series.reserve(traj.Rows.size());
    for (const std::vector<double>& row : traj.Rows)
        series.push_back(row[column]);
    return series;
}

// Each pair's series copied out and correlated: the reference.
std::vector<double> CorrelateSeries(const TCommandTraj& utterance, const TCommandTraj& stored,
                                    const std::vector<TColumnPair>& pairs)
{
    std::vector<double> correlations;
    for (const TColumnPair& pair : pairs) {
        const TArrayOfDouble a = ColumnSeries(utterance, pair.Utterance);
        const TArrayOfDouble b = ColumnSeries(stored, pair.Stored);
        correlations.push_back(
            Correlate(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size())));
    }
    return correlations;
}

// The five sums Correlate forms for each of kColumnsAtATime pairs, T lanes to a vector, added row after row:
// every lane adds its terms in row order, as Correlate does, so its sums are Correlate's to the bit.
template <class T>
struct TBlockSums {
    static constexpr int kVectors = static_cast<int>(kColumnsAtATime) / kLanes<T>;
    T a[kVectors] = {}, b[kVectors] = {}, aa[kVectors] = {}, bb[kVectors] = {}, ab[kVectors] = {};

    PARLANTO_LANES_INLINE void Add(const double* x, const double* y)
    {
        for (int v = 0; v < kVectors; ++v) {
            const T xv = LoadLanes(x + v * kLanes<T>, T{});
            const T yv = LoadLanes(y + v * kLanes<T>, T{});
            a[v] += xv;
            b[v] += yv;
            aa[v] += xv * xv;
            bb[v] += yv * yv;
            ab[v] += xv * yv;
        }
    }
    double Pearson(int32_t n, size_t column) const
    {
        const int v = static_cast<int>(column) / kLanes<T>;
        const int lane = static_cast<int>(column) % kLanes<T>;
        return PearsonFromSums(n, a[v][lane], b[v][lane], aa[v][lane], bb[v][lane], ab[v][lane]);
    }
};

// The rows, kColumnsAtATime pairs per pass. A block of pairs whose columns run on side by side in both
// trajectories (the same phoneme set, the usual case) is read where it lies; any other is gathered row by row.
template <class T>
PARLANTO_LANES_INLINE void CorrelateBlocks(const TCommandTraj& utterance, const TCommandTraj& stored,
                                           const std::vector<TColumnPair>& pairs, int32_t firstA, int32_t firstB,
                                           int32_t n, double* correlations)
{
    for (size_t first = 0; first < pairs.size(); first += kColumnsAtATime) {
        // Past the last pair the last one is taken again, its result written twice.
        TColumnPair block[kColumnsAtATime];
        bool sideBySide = true;
        for (size_t c = 0; c < kColumnsAtATime; ++c) {
            block[c] = pairs[std::min(first + c, pairs.size() - 1)];
            sideBySide &= block[c].Utterance == block[0].Utterance + c && block[c].Stored == block[0].Stored + c;
        }
        TBlockSums<T> sums;
        for (int32_t i = 0; i < n; ++i) {
            const double* a = utterance.Rows[static_cast<size_t>(firstA + i)].data();
            const double* b = stored.Rows[static_cast<size_t>(firstB + i)].data();
            if (sideBySide) {
                sums.Add(a + block[0].Utterance, b + block[0].Stored);
                continue;
            }
            double x[kColumnsAtATime], y[kColumnsAtATime];
            for (size_t c = 0; c < kColumnsAtATime; ++c) {
                x[c] = a[block[c].Utterance];
                y[c] = b[block[c].Stored];
            }
            sums.Add(x, y);
        }
        for (size_t c = 0; c < kColumnsAtATime; ++c)
            correlations[std::min(first + c, pairs.size() - 1)] = sums.Pearson(n, c);
    }
}

PARLANTO_WIDE_TARGET void CorrelateBlocksWide(const TCommandTraj& utterance, const TCommandTraj& stored,
                                              const std::vector<TColumnPair>& pairs, int32_t firstA,
                                              int32_t firstB, int32_t n, double* correlations)
{
    CorrelateBlocks<TDoubleQuad>(utterance, stored, pairs, firstA, firstB, n, correlations);
}

void CorrelateBlocksNarrow(const TCommandTraj& utterance, const TCommandTraj& stored,
                           const std::vector<TColumnPair>& pairs, int32_t firstA, int32_t firstB, int32_t n,
                           double* correlations)
{
    CorrelateBlocks<TDoublePairValue>(utterance, stored, pairs, firstA, firstB, n, correlations);
}

}  // namespace

std::vector<double> CorrelateColumns(const TCommandTraj& utterance, const TCommandTraj& stored,
                                     const std::vector<TColumnPair>& pairs)
{
    if (ArithmeticPath() == TArithmeticPath::Reference)
        return CorrelateSeries(utterance, stored, pairs);
    // The rows read where they are, a few columns per pass, every column's sums in Correlate's order.
    std::vector<double> correlations(pairs.size(), 0.0);
    const auto lengthA = static_cast<int32_t>(utterance.Rows.size());
    const auto lengthB = static_cast<int32_t>(stored.Rows.size());
    const int32_t n = std::min(lengthA, lengthB);
    if (n <= 0)
        return correlations;
    const int32_t firstA = lengthA > lengthB ? (lengthA - lengthB) / 2 : 0;
    const int32_t firstB = lengthB > lengthA ? (lengthB - lengthA) / 2 : 0;
    ByVectorWidth(CorrelateBlocksWide, CorrelateBlocksNarrow, utterance, stored, pairs, firstA, firstB, n,
                  correlations.data());
    return correlations;
}
