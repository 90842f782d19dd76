#include "FrameAlignment.h"

#include <algorithm>
#include <cmath>

#include "ArithmeticPath.h"
#include "RmsDifferences.h"

namespace {

constexpr double kUnreachable = std::numeric_limits<double>::infinity();

}  // namespace

double AlignedFrameDistance(const TFrameSeries& a, const TFrameSeries& b, double bandShare, double giveUpAbove)
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
    // The fast path turns b's frames value by value once, so that a row's cells are summed side by side.
    const bool fast = ArithmeticPath() == TArithmeticPath::Fast;
    const std::vector<double> turned = fast ? TurnFrames(b.Values, m, b.Width) : std::vector<double>{};
    for (size_t i = 0; i < n; ++i) {
        const double centre = slope * static_cast<double>(i);
        const size_t low = static_cast<size_t>(std::max(0.0, std::ceil(centre - halfWidth)));
        const size_t high = static_cast<size_t>(std::min(static_cast<double>(m - 1), std::floor(centre + halfWidth)));
        std::fill(current.begin(), current.end(), kUnreachable);
        if (fast) {
            RmsDifferences(a.Frame(i), turned.data(), m, b.Width, low, high, costs.data());
        } else {
            for (size_t j = low; j <= high; ++j)
                costs[j] = RmsDifference(a.Frame(i), b.Frame(j), a.Width);
        }
        double cheapest = kUnreachable;
        for (size_t j = low; j <= high; ++j) {
            double before = i == 0 && j == 0 ? 0.0 : previous[j];
            if (j > 0)
                before = std::min({before, previous[j - 1], current[j - 1]});
            current[j] = before + costs[j];
            cheapest = std::min(cheapest, current[j]);
        }
        // Every path crosses this row, and adding costs of zero or more never lowers a sum, rounding included.
        if (cheapest / static_cast<double>(n + m) > giveUpAbove)
            return kUnreachable;
        std::swap(previous, current);
    }
    return previous[m - 1] / static_cast<double>(n + m);
}
