#include "AlignedLikeness.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>

#include "AlignedDistanceBound.h"
#include "CoarseAlignmentBound.h"
#include "ColumnMatch.h"

namespace {

constexpr size_t kRowsPerFrame = 3;     // about 9 ms: neighbouring rows of 46 ms frames differ little
constexpr double kBandShare = 0.25;     // tempo within about ±15 % and end points a few tens of ms apart
constexpr double kDistanceScale = 0.05; // a root mean square frame difference of this much gives 1/e
// The alignment over blocks, the first bound of every take: blocks of 3 utterance frames by 2 stored ones cost a
// sixth of the full alignment's cells and leave it only the takes near the runner-up.
constexpr size_t kBlockRows = 3;
constexpr size_t kBlockFrames = 2;

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

std::vector<size_t> AllColumns(size_t width)
{
    std::vector<size_t> columns(width);
    std::iota(columns.begin(), columns.end(), size_t{0});
    return columns;
}

std::vector<size_t> AllColumns(const TCommandTraj& traj)
{
    return AllColumns(traj.Ids.size());
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

// The given columns of every row.
TCompactScores SelectColumns(const TCompactScores& scores, const std::vector<size_t>& columns)
{
    TCompactScores selected;
    selected.Width = columns.size();
    for (const size_t column : columns)
        selected.Step.push_back(scores.Step[column]);
    selected.Codes.reserve(scores.Count() * columns.size());
    for (size_t i = 0; i < scores.Count(); ++i) {
        for (const size_t column : columns)
            selected.Codes.push_back(scores.Row(i)[column]);
    }
    return selected;
}

// The columns of the utterance and of a stored trajectory that Distance pairs.
struct TSharedColumns {
    std::vector<size_t> Utterance;
    std::vector<size_t> Stored;
};

TSharedColumns SharedColumns(const std::vector<int32_t>& utteranceIds, const std::vector<int32_t>& storedIds)
{
    TSharedColumns shared;
    for (const TColumnPair& pair : MatchColumnsById(utteranceIds, storedIds)) {
        shared.Utterance.push_back(pair.Utterance);
        shared.Stored.push_back(pair.Stored);
    }
    return shared;
}

}  // namespace

TFrameSeries StoredSpeechFrames(const TCommandTraj& stored)
{
    return SpeechFrames(stored, AllColumns(stored));
}

TAlignedMatcher::TAlignedMatcher(const TCommandTraj& utterance)
    : utterance_(utterance),
      frames_(SpeechFrames(utterance, AllColumns(utterance))),
      distinctIds_(std::set<int32_t>(utterance.Ids.begin(), utterance.Ids.end()).size() == utterance.Ids.size())
{
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
    const TSharedColumns shared = SharedColumns(utterance_.Ids, stored.Ids);
    if (shared.Stored.empty())
        return std::numeric_limits<double>::infinity();
    return DistanceOver(shared.Utterance, SpeechFrames(stored, shared.Stored), giveUpAbove);
}

double TAlignedMatcher::Distance(const TFrameSeries& storedFrames, const std::vector<int32_t>& storedIds,
                                 double giveUpAbove) const
{
    const TSharedColumns shared = SharedColumns(utterance_.Ids, storedIds);
    if (shared.Stored.empty())
        return std::numeric_limits<double>::infinity();
    // Each column's frames are made alone (the speech rows and the background go by the whole rows), so the
    // shared columns of all the frames are the frames of the shared columns.
    const bool allStored = shared.Stored == AllColumns(storedIds.size());
    return DistanceOver(shared.Utterance, allStored ? storedFrames : SelectColumns(storedFrames, shared.Stored),
                        giveUpAbove);
}

double TAlignedMatcher::DistanceOver(const std::vector<size_t>& utteranceColumns, const TFrameSeries& storedFrames,
                                     double giveUpAbove) const
{
    // Usually both come from the same phoneme set, and the utterance's frames serve as they are.
    const bool allInOrder = utteranceColumns == AllColumns(utterance_);
    const TFrameSeries selected = allInOrder ? TFrameSeries{} : SelectColumns(frames_, utteranceColumns);
    return AlignedFrameDistance(allInOrder ? frames_ : selected, storedFrames, kBandShare, giveUpAbove);
}

const TBoundFrames& TAlignedMatcher::BoundFrames() const
{
    std::call_once(boundFramesMade_, [this] { boundFrames_ = std::make_unique<TBoundFrames>(frames_, kBlockRows); });
    return *boundFrames_;
}

namespace {

// Usually both come from the same phoneme set, and the utterance's frames serve as they are: a bound then takes
// them with the compact frames; otherwise with the columns both have, in the stored trajectory's order.
template <class TBound>
double BoundOver(const TCommandTraj& utterance, bool distinctIds, const TFrameSeries& frames,
                 const TBoundFrames& boundFrames, const TCompactScores& compact, const std::vector<int32_t>& storedIds,
                 TBound bound)
{
    if (storedIds.size() != compact.Width)
        return 0.0;   // frames of another trajectory: nothing is known
    if (distinctIds && storedIds == utterance.Ids)
        return bound(boundFrames, compact);
    const TSharedColumns shared = SharedColumns(utterance.Ids, storedIds);
    if (shared.Stored.empty())
        return std::numeric_limits<double>::infinity();
    if (shared.Utterance == AllColumns(utterance) && shared.Stored.size() == compact.Width)
        return bound(boundFrames, compact);
    return bound(TBoundFrames(SelectColumns(frames, shared.Utterance), kBlockRows),
                 SelectColumns(compact, shared.Stored));
}

}  // namespace

double TAlignedMatcher::BlockDistanceAtLeast(const TCompactScores& frames,
                                             const std::vector<int32_t>& storedIds) const
{
    return BoundOver(utterance_, distinctIds_, frames_, BoundFrames(), frames, storedIds,
                     [](const TBoundFrames& a, const TCompactScores& b) {
                         return CoarseAlignedDistanceAtLeast(a, b, kBandShare, std::numeric_limits<double>::infinity(),
                                                             kBlockFrames);
                     });
}

double TAlignedMatcher::DistanceAtLeast(const TCompactScores& frames, const std::vector<int32_t>& storedIds,
                                        double giveUpAbove) const
{
    return BoundOver(utterance_, distinctIds_, frames_, BoundFrames(), frames, storedIds,
                     [giveUpAbove](const TBoundFrames& a, const TCompactScores& b) {
                         return AlignedDistanceAtLeast(a, b, kBandShare, giveUpAbove);
                     });
}

double AlignedLikeness(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    return TAlignedMatcher(utterance).Likeness(stored);
}
