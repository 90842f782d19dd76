#pragma once
// The classic likeness of an utterance and a recorded example of a command: the mean of 0.5 + 0.5·r over the
// example's columns whose phoneme id the utterance also has, r being the correlation of the two columns' score
// series (ColumnCorrelations.h); 0 when no column matches.
#include "SovoTypes.h"

// The columns are taken a few at a time. Once even perfect correlations in the rest could not lift the mean to
// giveUpBelow, it stops and gives 0, so that an example worse than a better one already found costs less to
// rule out; a likeness of giveUpBelow or more is always the full one, to the last bit.
double AverageColumnLikeness(const TCommandTraj& utterance, const TCommandTraj& stored, double giveUpBelow = 0.0);
