#include "SeriesHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "DoublePair.h"
#include "PearsonCorrelation.h"
#include "WideVectors.h"

namespace {

void SelectionSort(TArrayOfDouble& values)
{
    const std::size_t count = values.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t smallest = i;
        for (std::size_t j = i + 1; j < count; ++j) {
            if (values[j] < values[smallest])
                smallest = j;
        }
        std::swap(values[i], values[smallest]);
    }
}

// Short arrays, as the tone estimator's candidates (a few dozen values), go straight to their ranks. Plainly:
//
//     for (size_t i = 0; i < count; ++i) {
//         size_t rank = 0;   // values below values[i], and equal ones before it
//         for (size_t j = 0; j < count; ++j)
//             rank += values[j] < values[i] || (values[j] == values[i] && j < i) ? 1 : 0;
//         sorted[rank] = values[i];
//     }
//
// Here T lanes of j at a time, the counts in lanes (a true comparison is all ones, -1). No comparison decides a
// branch; in a comparison sort of so few values, the mispredicted branches are most of the cost.
constexpr std::size_t kRankSortLimit = 64;

template <class T>
PARLANTO_LANES_INLINE void RankSort(TArrayOfDouble& values)
{
    constexpr std::size_t lanes = kLanes<T>;
    const std::size_t count = values.size();
    // Padded to whole lanes with values that never count: +inf, after every real index.
    double padded[kRankSortLimit + lanes];
    double indices[kRankSortLimit + lanes];
    std::copy(values.begin(), values.end(), padded);
    std::fill(padded + count, padded + count + lanes, std::numeric_limits<double>::infinity());
    for (std::size_t j = 0; j < count + lanes; ++j)
        indices[j] = static_cast<double>(j);
    double sorted[kRankSortLimit];
    for (std::size_t i = 0; i < count; ++i) {
        const T value = T{} + values[i];
        const T index = T{} + static_cast<double>(i);
        decltype(value < value) below = {};
        for (std::size_t j = 0; j < count; j += lanes) {
            const T other = LoadLanes(padded + j, T{});
            below += (other < value) | ((other == value) & (LoadLanes(indices + j, T{}) < index));
        }
        int64_t rank = 0;
        for (std::size_t lane = 0; lane < lanes; ++lane)
            rank -= below[lane];
        sorted[rank] = values[i];
    }
    std::copy(sorted, sorted + count, values.begin());
}

PARLANTO_WIDE_TARGET void RankSortWide(TArrayOfDouble& values)
{
    RankSort<TDoubleQuad>(values);
}

void RankSortNarrow(TArrayOfDouble& values)
{
    RankSort<TDoublePair>(values);
}

}  // namespace

void SortDoubles(TArrayOfDouble& values)
{
    // The selection sort defines the order. Equal numbers cannot be told apart, except +0 from -0, so any
    // sort gives the same array unless both zeros are there (or a NaN, which no sort orders): then the
    // selection sort itself runs. (Ranks need an order too: with a NaN they would not be a permutation.)
    bool positiveZero = false, negativeZero = false, notANumber = false;
    for (const double value : values) {
        positiveZero |= value == 0 && !std::signbit(value);
        negativeZero |= value == 0 && std::signbit(value);
        notANumber |= value != value;
    }
    if ((positiveZero && negativeZero) || notANumber)
        SelectionSort(values);
    else if (values.size() <= kRankSortLimit)
        ByVectorWidth(RankSortWide, RankSortNarrow, values);
    else
        std::sort(values.begin(), values.end());
}

double Correlate(const double* a, int32_t lengthA, const double* b, int32_t lengthB)
{
    const int32_t n = std::min(lengthA, lengthB);
    if (n <= 0)
        return 0.0;
    // The shorter series lies centred in the longer one.
    if (lengthA > lengthB)
        a += (lengthA - lengthB) / 2;
    else
        b += (lengthB - lengthA) / 2;
    double sa = 0.0, sb = 0.0, saa = 0.0, sbb = 0.0, sab = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        sa += a[i];
        sb += b[i];
        saa += a[i] * a[i];
        sbb += b[i] * b[i];
        sab += a[i] * b[i];
    }
    return PearsonFromSums(n, sa, sb, saa, sbb, sab);
}

double LargestOf(const double* values, int32_t from, int32_t to, bool lanes)
{
    int32_t i = from;
    double largest = 0.0;
    if (lanes) {
        TDoublePair first{0.0, 0.0}, second{0.0, 0.0};
        for (; i + 4 <= to; i += 4) {
            first = MaxPair(first, LoadPair(values + i));
            second = MaxPair(second, LoadPair(values + i + 2));
        }
        first = MaxPair(first, second);
        largest = std::max(first[0], first[1]);
    }
    for (; i < to; ++i)
        largest = std::max(largest, values[i]);
    return largest;
}

double MeanAbsDiff64(const int16_t* samples)
{
    // 63 steps over a 64-sample hop, divided by the hop length.
    int32_t sum = 0;
    for (int i = 0; i < 63; ++i)
        sum += std::abs(samples[i] - samples[i + 1]);
    return sum / 64.0;
}
