#pragma once
// Columns of two trajectories belong together when they carry the same phoneme id; their positions may differ,
// since a trajectory keeps the order of the phoneme set it was recorded with.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SovoTypes.h"

struct TColumnPair {
    size_t Stored = 0;
    size_t Utterance = 0;
};

// For every column of stored, in order, whose id the utterance also has: the first utterance column with it.
// Columns of ids the utterance lacks are left out.
std::vector<TColumnPair> MatchColumnsById(const TCommandTraj& utterance, const TCommandTraj& stored);
// The same from the two trajectories' ids alone.
std::vector<TColumnPair> MatchColumnsById(const std::vector<int32_t>& utteranceIds,
                                          const std::vector<int32_t>& storedIds);
