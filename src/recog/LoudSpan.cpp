#include "LoudSpan.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr size_t kFloorShareDivisor = 10;   // the quietest tenth of the values gives the floor

}  // namespace

std::vector<size_t> QuietestTenth(const std::vector<double>& loudness)
{
    std::vector<size_t> order(loudness.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const size_t count = std::min(order.size(), std::max<size_t>(1, loudness.size() / kFloorShareDivisor));
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
                      [&loudness](size_t a, size_t b) { return loudness[a] < loudness[b] || (loudness[a] == loudness[b] && a < b); });
    order.resize(count);
    return order;
}

TSpan LoudSpan(const std::vector<double>& loudness, const TLoudRule& rule)
{
    const size_t count = loudness.size();
    if (count == 0)
        return {};
    // Summed from the quietest up, so that the floor does not depend on the order of the series.
    const std::vector<size_t> quiet = QuietestTenth(loudness);
    double floor = 0.0;
    for (const size_t i : quiet)
        floor += loudness[i];
    floor /= static_cast<double>(quiet.size());
    const double peak = *std::max_element(loudness.begin(), loudness.end());
    const bool noisy = peak < rule.NoisyPeakRatio * floor;
    const double threshold = floor + (noisy ? rule.NoisyRise : rule.Rise) * (peak - floor);

    const auto isLoud = [threshold](double value) { return value > threshold; };
    const auto first = std::find_if(loudness.begin(), loudness.end(), isLoud);
    if (first == loudness.end())
        return {0, count};
    const auto last = std::find_if(loudness.rbegin(), loudness.rend(), isLoud);
    const size_t firstLoud = static_cast<size_t>(first - loudness.begin());
    const size_t endLoud = count - static_cast<size_t>(last - loudness.rbegin());
    return {firstLoud > rule.Margin ? firstLoud - rule.Margin : 0, std::min(count, endLoud + rule.Margin)};
}
