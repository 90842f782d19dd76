#pragma once
// The aligned way of matching an utterance with a recorded example of a command: both trajectories are cut to
// their speech rows (TrajectoryEndpoint.h), turned into frames of the phoneme scores both share (columns
// matched by id) and time-aligned (FrameAlignment.h); the alignment's cost becomes a likeness.
#include <limits>
#include <vector>

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

    double QuickDistanceAtLeast(const TCompactScores&, const std::vector<int32_t>&) const { return 0.0; }  // PLACEHOLDER
    double DistanceAtLeast(const TCompactScores&, const std::vector<int32_t>&, double) const { return 0.0; }  // PLACEHOLDER

private:
    const TCommandTraj& utterance_;
    TFrameSeries frames_;   // the utterance's speech frames over all its columns
};

// The speech frames Distance makes of a stored trajectory whose columns all match: over all its columns, in its
// own column order.
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
