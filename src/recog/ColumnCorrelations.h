#pragma once
// The correlations of the matched column pairs of two trajectories: for each pair, Correlate of the two
// columns' score series (the shorter centred in the longer), 0 without variance.
#include <vector>

#include "ColumnMatch.h"
#include "SovoTypes.h"

std::vector<double> CorrelateColumns(const TCommandTraj& utterance, const TCommandTraj& stored,
                                     const std::vector<TColumnPair>& pairs);
