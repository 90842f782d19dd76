#include "AlignedLikeness.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "ColumnMatch.h"

namespace {

constexpr size_t kRowsPerFrame = 3;     // about 9 ms: neighbouring rows of 46 ms frames differ little
constexpr double kBandShare = 0.25;     // tempo within about ±15 % and end points a few tens of ms apart
constexpr double kDistanceScale = 0.05; // a root mean square frame difference of this much gives 1/e

// The speech rows in groups of kRowsPerFrame (the last group may be shorter), each frame the mean score of
// the given columns above what the background scores, square-rooted: the scores carry the atom's level, and
// the root keeps the quieter consonants from vanishing next to the vowels. Without the background, the same
// word in more noise would differ by the noise's scores in every frame.
TFrameSeries SpeechFrames(const TCommandTraj& traj, const std::vector<size_t>& columns)
{
    const std::vector<double> loudness = RowLoudness(traj);
    const TRowSpan span = SpeechRows(loudness);
    const std::vector<double> background = BackgroundScores(traj, loudness);
    TFrameSeries frames;
    frames.Width = columns.size();
    frames.Values.reserve((span.Size() + kRowsPerFrame - 1) / kRowsPerFrame * columns.size());
    for (size_t first = span.First; first < span.End; first += kRowsPerFrame) {
        const size_t end = std::min(span.End, first + kRowsPerFrame);
        for (const size_t column : columns) {
            double sum = 0.0;
            for (size_t row = first; row < end; ++row)
                sum += traj.Rows[row][column];
            const double mean = sum / static_cast<double>(end - first);
            frames.Values.push_back(std::sqrt(std::max(0.0, mean - background[column])));
        }
    }
    return frames;
}

std::vector<size_t> AllColumns(const TCommandTraj& traj)
{
    std::vector<size_t> columns(traj.Ids.size());
    std::iota(columns.begin(), columns.end(), size_t{0});
    return columns;
}

// The given columns of every frame.
TFrameSeries SelectColumns(const TFrameSeries& frames, const std::vector<size_t>& columns)
{
    TFrameSeries selected;
    selected.Width = columns.size();
    selected.Values.reserve(frames.Count() * columns.size());
    for (size_t i = 0; i < frames.Count(); ++i) {
        for (const size_t column : columns)
            selected.Values.push_back(frames.Frame(i)[column]);
    }
    return selected;
}

}  // namespace

TAlignedMatcher::TAlignedMatcher(const TCommandTraj& utterance)
    : utterance_(utterance), frames_(SpeechFrames(utterance, AllColumns(utterance)))
{
}

TFrameSeries StoredSpeechFrames(const TCommandTraj& stored)
{
    return SpeechFrames(stored, AllColumns(stored));
}

double LikenessOfDistance(double distance)
{
    return std::exp(-distance / kDistanceScale);   // an empty side is infinitely far: 0
}

// exp and log are within an ulp or two of the exact values; these margins are far wider.
double DistanceBelowLikeness(double likeness)
{
    if (likeness <= 0.0)
        return std::numeric_limits<double>::infinity();
    return std::max(0.0, -kDistanceScale * std::log(likeness)) * (1.0 + 1e-9) + 1e-12;
}

double LikenessAtMost(double distanceAtLeast)
{
    return LikenessOfDistance(std::max(0.0, distanceAtLeast * (1.0 - 1e-9) - 1e-12)) * (1.0 + 1e-9);
}

double TAlignedMatcher::Likeness(const TCommandTraj& stored) const
{
    return LikenessOfDistance(Distance(stored));
}

double TAlignedMatcher::Distance(const TCommandTraj& stored, double giveUpAbove) const
{
    std::vector<size_t> utteranceColumns;
    std::vector<size_t> storedColumns;
    for (const TColumnPair& pair : MatchColumnsById(utterance_, stored)) {
        utteranceColumns.push_back(pair.Utterance);
        storedColumns.push_back(pair.Stored);
    }
    if (storedColumns.empty())
        return std::numeric_limits<double>::infinity();
    // Usually both come from the same phoneme set, and the utterance's frames serve as they are.
    const bool allInOrder = utteranceColumns == AllColumns(utterance_);
    const TFrameSeries selected = allInOrder ? TFrameSeries{} : SelectColumns(frames_, utteranceColumns);
    return AlignedFrameDistance(allInOrder ? frames_ : selected, SpeechFrames(stored, storedColumns), kBandShare,
                                giveUpAbove);
}

double AlignedLikeness(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    return TAlignedMatcher(utterance).Likeness(stored);
}
