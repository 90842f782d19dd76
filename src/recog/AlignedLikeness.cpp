#include "AlignedLikeness.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ColumnMatch.h"
#include "FrameAlignment.h"
#include "TrajectoryEndpoint.h"

namespace {

constexpr size_t kRowsPerFrame = 3;     // about 9 ms: neighbouring rows of 46 ms frames differ little
constexpr double kBandShare = 0.25;     // tempo within about ±15 % and end points a few tens of ms apart
constexpr double kDistanceScale = 0.05; // a root mean square frame difference of this much gives 1/e

// The speech rows in groups of kRowsPerFrame (the last group may be shorter), each frame the mean score of
// every matched column, square-rooted: the scores carry the atom's level, and the root keeps the quieter
// consonants from vanishing next to the vowels.
TFrameSeries SpeechFrames(const TCommandTraj& traj, const std::vector<size_t>& columns)
{
    const TRowSpan span = SpeechRows(traj);
    TFrameSeries frames;
    frames.Width = columns.size();
    for (size_t first = span.First; first < span.End; first += kRowsPerFrame) {
        const size_t end = std::min(span.End, first + kRowsPerFrame);
        for (const size_t column : columns) {
            double sum = 0.0;
            for (size_t row = first; row < end; ++row)
                sum += traj.Rows[row][column];
            frames.Values.push_back(std::sqrt(std::max(0.0, sum / static_cast<double>(end - first))));
        }
    }
    return frames;
}

}  // namespace

double AlignedLikeness(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    std::vector<size_t> utteranceColumns;
    std::vector<size_t> storedColumns;
    for (const TColumnPair& pair : MatchColumnsById(utterance, stored)) {
        utteranceColumns.push_back(pair.Utterance);
        storedColumns.push_back(pair.Stored);
    }
    if (storedColumns.empty())
        return 0.0;
    const double distance = AlignedFrameDistance(SpeechFrames(utterance, utteranceColumns),
                                                 SpeechFrames(stored, storedColumns), kBandShare);
    return std::exp(-distance / kDistanceScale);   // an empty side is infinitely far: 0
}
