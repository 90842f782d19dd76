#pragma once
// The aligned way of matching an utterance with a recorded example of a command: both trajectories are cut to
// their speech rows (TrajectoryEndpoint.h), turned into frames of the phoneme scores both share (columns
// matched by id) and time-aligned (FrameAlignment.h); the alignment's cost becomes a likeness.
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "AlignedDistanceBound.h"
#include "CompactScores.h"
#include "FrameAlignment.h"
#include "SovoTypes.h"
#include "TrajectoryEndpoint.h"

// An utterance readied once for matching with any number of stored trajectories. Refers to the utterance,
// which must outlive it.
class TAlignedMatcher {
public:
    explicit TAlignedMatcher(const TCommandTraj& utterance);

    // 1 for a stored trajectory with the same speech frames, falling towards 0 as the aligned frames differ;
    // 0 when either has no rows or no column of stored has an id the utterance has.
    double Likeness(const TCommandTraj& stored) const;
    // The aligned frames' distance behind Likeness (infinity where it is 0); infinity too once it is sure to be
    // above giveUpAbove (AlignedFrameDistance), so that a worse example costs less to rule out.
    double Distance(const TCommandTraj& stored,
                    double giveUpAbove = std::numeric_limits<double>::infinity()) const;
    // The same from the stored trajectory's StoredSpeechFrames (column ids storedIds), made once for many
    // utterances: the same distance to the last bit.
    double Distance(const TFrameSeries& storedFrames, const std::vector<int32_t>& storedIds,
                    double giveUpAbove = std::numeric_limits<double>::infinity()) const;

    // Never above Distance(stored) for the stored trajectory of column ids storedIds whose StoredSpeechFrames
    // are frames in compact form: the alignment over blocks of 3 by 2 frames (CoarseAlignmentBound.h), a sixth
    // of the full alignment's cells; cheap enough for every take of a large vocabulary.
    double BlockDistanceAtLeast(const TCompactScores& frames, const std::vector<int32_t>& storedIds) const;
    // Tighter and dearer: the alignment over the compact frames themselves (AlignedDistanceBound.h), the same
    // way, except that it gives infinity once it is sure that Distance(stored) > giveUpAbove.
    // Both give infinity where Distance is sure to (no shared id, no frames), 0 where nothing can be said
    // (storedIds not one per column of frames, values beyond what floats hold safely), and may be asked from
    // several threads at once.
    double DistanceAtLeast(const TCompactScores& frames, const std::vector<int32_t>& storedIds,
                           double giveUpAbove) const;

private:
    // The alignment with the stored frames of the shared columns, in the stored trajectory's order.
    double DistanceOver(const std::vector<size_t>& utteranceColumns, const TFrameSeries& storedFrames,
                        double giveUpAbove) const;

    const TCommandTraj& utterance_;
    TFrameSeries frames_;   // the utterance's speech frames over all its columns
    bool distinctIds_;      // no id twice among the utterance's columns
    // The frames readied for the bounds, made by the first bound asked for, since only large vocabularies ask.
    const TBoundFrames& BoundFrames() const;
    mutable std::once_flag boundFramesMade_;
    mutable std::unique_ptr<TBoundFrames> boundFrames_;
};

// The speech frames Distance makes of a stored trajectory, over all its columns in its own order: what a
// dictionary keeps of each take in compact form for the bounds above.
TFrameSeries StoredSpeechFrames(const TCommandTraj& stored);

// The likeness of an aligned distance: 1 at 0, falling towards 0 as it grows; 0 at infinity.
double LikenessOfDistance(double distance);

// A distance beyond which the likeness is surely below likeness (a little above the exact inverse, rounding
// included); infinity for a likeness of 0 or less.
double DistanceBelowLikeness(double likeness);
// An upper bound of the likeness of any distance at least distanceAtLeast (rounding included).
double LikenessAtMost(double distanceAtLeast);

// TAlignedMatcher(utterance).Likeness(stored).
double AlignedLikeness(const TCommandTraj& utterance, const TCommandTraj& stored);
