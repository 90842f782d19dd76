#include "ColumnCorrelations.h"

#include <algorithm>
#include <cstdint>

#include "ArithmeticPath.h"
#include "DoublePair.h"
#include "PearsonCorrelation.h"
#include "SeriesHelpers.h"

namespace {

constexpr size_t kColumnsAtATime = 4;   // two pairs of lanes

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

// The sums Correlate forms, for a pair of columns in the two lanes.
struct TLaneSums {
    TDoublePair a{0.0, 0.0}, b{0.0, 0.0}, aa{0.0, 0.0}, bb{0.0, 0.0}, ab{0.0, 0.0};

    void Add(TDoublePair x, TDoublePair y)
    {
        a += x;
        b += y;
        aa += x * x;
        bb += y * y;
        ab += x * y;
    }
    double Pearson(int32_t n, int lane) const { return PearsonFromSums(n, a[lane], b[lane], aa[lane], bb[lane], ab[lane]); }
};

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
    for (size_t first = 0; first < pairs.size(); first += kColumnsAtATime) {
        // Past the last pair the last one is taken again, its result written twice.
        TColumnPair block[kColumnsAtATime];
        for (size_t c = 0; c < kColumnsAtATime; ++c)
            block[c] = pairs[std::min(first + c, pairs.size() - 1)];
        TLaneSums low, high;
        for (int32_t i = 0; i < n; ++i) {
            const double* a = utterance.Rows[static_cast<size_t>(firstA + i)].data();
            const double* b = stored.Rows[static_cast<size_t>(firstB + i)].data();
            low.Add(TDoublePair{a[block[0].Utterance], a[block[1].Utterance]},
                    TDoublePair{b[block[0].Stored], b[block[1].Stored]});
            high.Add(TDoublePair{a[block[2].Utterance], a[block[3].Utterance]},
                     TDoublePair{b[block[2].Stored], b[block[3].Stored]});
        }
        for (size_t c = 0; c < kColumnsAtATime; ++c) {
            const TLaneSums& sums = c < 2 ? low : high;
            correlations[std::min(first + c, pairs.size() - 1)] = sums.Pearson(n, static_cast<int>(c % 2));
        }
    }
    return correlations;
}
