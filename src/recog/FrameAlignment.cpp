#include "FrameAlignment.h"

#include <limits>
#include <vector>

#include "AlignmentBand.h"
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

    // The fast path turns b's frames value by value once, so that a row's cells are summed side by side.
    const bool fast = ArithmeticPath() == TArithmeticPath::Fast;
    const std::vector<double> turned = fast ? TurnFrames(b.Values, m, b.Width) : std::vector<double>{};
    const auto rowCosts = [&](size_t i, size_t low, size_t high, double* costs) {
        if (fast) {
            RmsDifferences(a.Frame(i), turned.data(), m, b.Width, low, high, costs);
        } else {
            for (size_t j = low; j <= high; ++j)
                costs[j] = RmsDifference(a.Frame(i), b.Frame(j), a.Width);
        }
    };
    // Every path crosses each row, and adding costs of zero or more never lowers a sum, rounding included.
    const auto givesUp = [&](double cheapest) { return cheapest / static_cast<double>(n + m) > giveUpAbove; };
    return CheapestBandPath(TAlignmentBand(n, m, bandShare), n, m, rowCosts, givesUp) / static_cast<double>(n + m);
}
