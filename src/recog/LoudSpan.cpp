#include "LoudSpan.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr size_t kFloorShareDivisor = 10;   // the quietest tenth of the values gives the floor

double QuietFloor(const std::vector<double>& loudness)
{
    const size_t quietCount = std::max<size_t>(1, loudness.size() / kFloorShareDivisor);
    std::vector<double> quiet = loudness;
    const auto quietEnd = quiet.begin() + static_cast<std::ptrdiff_t>(quietCount);
    std::nth_element(quiet.begin(), quietEnd - 1, quiet.end());
    // Summed from the quietest up, so that the floor does not depend on the order of the series.
    std::sort(quiet.begin(), quietEnd);
    return std::accumulate(quiet.begin(), quietEnd, 0.0) / static_cast<double>(quietCount);
}

}  // namespace

TSpan LoudSpan(const std::vector<double>& loudness, const TLoudRule& rule)
{
    const size_t count = loudness.size();
    if (count == 0)
        return {};
    const double floor = QuietFloor(loudness);
    const double peak = *std::max_element(loudness.begin(), loudness.end());
    const double threshold = floor + rule.Rise * (peak - floor);

    const auto isLoud = [threshold](double value) { return value > threshold; };
    const auto first = std::find_if(loudness.begin(), loudness.end(), isLoud);
    if (first == loudness.end())
        return {0, count};
    const auto last = std::find_if(loudness.rbegin(), loudness.rend(), isLoud);
    const size_t firstLoud = static_cast<size_t>(first - loudness.begin());
    const size_t endLoud = count - static_cast<size_t>(last - loudness.rbegin());
    return {firstLoud > rule.Margin ? firstLoud - rule.Margin : 0, std::min(count, endLoud + rule.Margin)};
}
