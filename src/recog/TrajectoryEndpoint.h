#pragma once
// Where the speech lies among a trajectory's rows. Phoneme scores are weighted by the atom's level, so a row's
// sum follows the loudness of its atom; noise before and after the word is quieter than the word but, when it
// is loud enough to escape the pre-processor's quiet test, it stays in the trajectory. The floor is taken from
// the utterance itself, so the same rule holds in a quiet room, in noise and on digital silence.
#include <cstddef>

#include "SovoTypes.h"

struct TRowSpan {
    size_t First = 0;   // first row kept
    size_t End = 0;     // one past the last row kept

    size_t Size() const { return End - First; }
};

// The rows from the first to the last one louder than the floor by a share of the floor-to-peak range, widened
// by a margin that keeps weak onsets and endings. The floor is the mean loudness of the quietest tenth of the
// rows. A trajectory whose rows are all equally loud (or has none) is kept whole.
TRowSpan SpeechRows(const TCommandTraj& traj);
