#pragma once
// The aligned way of matching an utterance with a recorded example of a command: both trajectories are cut to
// their speech rows (TrajectoryEndpoint.h), turned into frames of the phoneme scores both share (columns
// matched by id) and time-aligned (FrameAlignment.h); the alignment's cost becomes a likeness.
#include "SovoTypes.h"

// 1 for trajectories with the same speech frames, falling towards 0 as the aligned frames differ; 0 when
// either has no rows or no column of stored has an id the utterance has.
double AlignedLikeness(const TCommandTraj& utterance, const TCommandTraj& stored);
