#include "TrajectoryEndpoint.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr size_t kFloorShareDivisor = 10;   // the quietest tenth of the rows gives the floor
constexpr double kSpeechRise = 0.15;        // share of the floor-to-peak range a speech row rises above the floor
constexpr size_t kMarginRows = 15;          // about 44 ms of hops on either side

std::vector<double> RowLoudness(const TCommandTraj& traj)
{
    std::vector<double> loudness;
    loudness.reserve(traj.Rows.size());
    for (const std::vector<double>& row : traj.Rows)
        loudness.push_back(std::accumulate(row.begin(), row.end(), 0.0));
    return loudness;
}

}  // namespace

TRowSpan SpeechRows(const TCommandTraj& traj)
{
    const std::vector<double> loudness = RowLoudness(traj);
    const size_t rows = loudness.size();
    if (rows == 0)
        return {};

    // The quietest rows, summed from the quietest up.
    const size_t quietCount = std::max<size_t>(1, rows / kFloorShareDivisor);
    std::vector<double> quiet = loudness;
    const auto quietEnd = quiet.begin() + static_cast<std::ptrdiff_t>(quietCount);
    std::nth_element(quiet.begin(), quietEnd - 1, quiet.end());
    std::sort(quiet.begin(), quietEnd);
    const double floor = std::accumulate(quiet.begin(), quietEnd, 0.0) / static_cast<double>(quietCount);
    const double peak = *std::max_element(loudness.begin(), loudness.end());
    const double threshold = floor + kSpeechRise * (peak - floor);

    const auto isSpeech = [threshold](double value) { return value > threshold; };
    const auto first = std::find_if(loudness.begin(), loudness.end(), isSpeech);
    if (first == loudness.end())
        return {0, rows};
    const auto last = std::find_if(loudness.rbegin(), loudness.rend(), isSpeech);
    const size_t firstRow = static_cast<size_t>(first - loudness.begin());
    const size_t endRow = rows - static_cast<size_t>(last - loudness.rbegin());
    return {firstRow > kMarginRows ? firstRow - kMarginRows : 0, std::min(rows, endRow + kMarginRows)};
}
