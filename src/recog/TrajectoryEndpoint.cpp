#include "TrajectoryEndpoint.h"

#include <numeric>
#include <vector>

namespace {

constexpr TLoudRule kSpeechRows{.Rise = 0.15, .Margin = 15};   // 15 rows: about 44 ms of hops

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
    return LoudSpan(RowLoudness(traj), kSpeechRows);
}
