#include "FrameAlignment.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ArithmeticPath.h"

namespace {

constexpr double kUnreachable = std::numeric_limits<double>::infinity();

double RootMean(double sum, size_t width)
{
    return std::sqrt(sum / static_cast<double>(width));
}

double RmsDifference(const double* x, const double* y, size_t width)
{
    double sum = 0.0;
    for (size_t k = 0; k < width; ++k) {
        const double difference = x[k] - y[k];
        sum += difference * difference;
    }
    return RootMean(sum, width);
}

// The cell costs of frame x against frames low..high of b, into costs[low..high]. On the fast path four frames
// at a time: each sum still runs over the values in order, as RmsDifference's, but the four chains of
// additions overlap instead of each waiting on the one before.
void RowCosts(const double* x, const TFrameSeries& b, size_t low, size_t high, double* costs)
{
    const size_t width = b.Width;
    size_t j = low;
    if (ArithmeticPath() == TArithmeticPath::Fast) {
        for (; j + 3 <= high; j += 4) {
            const double* y0 = b.Frame(j);
            const double* y1 = y0 + width;
            const double* y2 = y1 + width;
            const double* y3 = y2 + width;
            double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
            for (size_t k = 0; k < width; ++k) {
                const double d0 = x[k] - y0[k], d1 = x[k] - y1[k], d2 = x[k] - y2[k], d3 = x[k] - y3[k];
                s0 += d0 * d0;
                s1 += d1 * d1;
                s2 += d2 * d2;
                s3 += d3 * d3;
            }
            costs[j] = RootMean(s0, width);
            costs[j + 1] = RootMean(s1, width);
            costs[j + 2] = RootMean(s2, width);
            costs[j + 3] = RootMean(s3, width);
        }
    }
    for (; j <= high; ++j)
        costs[j] = RmsDifference(x, b.Frame(j), width);
}

}  // namespace

double AlignedFrameDistance(const TFrameSeries& a, const TFrameSeries& b, double bandShare)
{
    const size_t n = a.Count();
    const size_t m = b.Count();
    if (n == 0 || m == 0 || a.Width != b.Width)
        return kUnreachable;

    // Rows of a advance the line by slope columns of b; a band at least that wide stays connected.
    const double longer = static_cast<double>(std::max(n, m));
    const double shorter = static_cast<double>(std::min(n, m));
    const double halfWidth = std::max(std::ceil(bandShare * longer), std::ceil(longer / shorter));
    const double slope = n > 1 ? static_cast<double>(m - 1) / static_cast<double>(n - 1) : 0.0;

    std::vector<double> previous(m, kUnreachable);
    std::vector<double> current(m, kUnreachable);
    std::vector<double> costs(m);
    for (size_t i = 0; i < n; ++i) {
        const double centre = slope * static_cast<double>(i);
        const size_t low = static_cast<size_t>(std::max(0.0, std::ceil(centre - halfWidth)));
        const size_t high = static_cast<size_t>(std::min(static_cast<double>(m - 1), std::floor(centre + halfWidth)));
        std::fill(current.begin(), current.end(), kUnreachable);
        RowCosts(a.Frame(i), b, low, high, costs.data());
        for (size_t j = low; j <= high; ++j) {
            double before = i == 0 && j == 0 ? 0.0 : previous[j];
            if (j > 0)
                before = std::min({before, previous[j - 1], current[j - 1]});
            current[j] = before + costs[j];
        }
        std::swap(previous, current);
    }
    return previous[m - 1] / static_cast<double>(n + m);
}
