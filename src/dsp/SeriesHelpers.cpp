#include "SeriesHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "DoublePair.h"
#include "PearsonCorrelation.h"

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

}  // namespace

void SortDoubles(TArrayOfDouble& values)
{
    // The selection sort defines the order. Equal numbers cannot be told apart, except +0 from -0, so any
    // sort gives the same array unless both zeros are there (or a NaN, which no sort orders): then the
    // selection sort itself runs.
    bool positiveZero = false, negativeZero = false, notANumber = false;
    for (const double value : values) {
        positiveZero |= value == 0 && !std::signbit(value);
        negativeZero |= value == 0 && std::signbit(value);
        notANumber |= value != value;
    }
    if ((positiveZero && negativeZero) || notANumber)
        SelectionSort(values);
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
