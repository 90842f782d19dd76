#pragma once
// Where the speech lies among a trajectory's rows, and what the rows hold when nothing is said. Phoneme
// scores are weighted by the atom's level, so a row's sum follows the loudness of its atom; noise before and
// after the word is quieter than the word but, when it is loud enough to escape the pre-processor's trim, it
// stays in the trajectory. The floor is taken from the utterance itself (LoudSpan.h), so the same rule holds
// in a quiet room, in noise and on digital silence.
#include <vector>

#include "LoudSpan.h"
#include "SovoTypes.h"

using TRowSpan = TSpan;

// The rows from the first to the last one louder than the floor by 15 % of the floor-to-peak range (25 % in
// noise, where the loudest row is less than 300 times the floor), with about 44 ms of rows on either side. A
// trajectory whose rows are all equally loud (or has none) is kept whole.
TRowSpan SpeechRows(const TCommandTraj& traj);

// Per column, the mean score of the quietest tenth of the rows: what the background alone scores.
std::vector<double> BackgroundScores(const TCommandTraj& traj);

// Each row's sum, the loudness both of the above go by; passed in, it is summed once for both.
std::vector<double> RowLoudness(const TCommandTraj& traj);
TRowSpan SpeechRows(const std::vector<double>& loudness);
std::vector<double> BackgroundScores(const TCommandTraj& traj, const std::vector<double>& loudness);
