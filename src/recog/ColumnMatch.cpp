#include "ColumnMatch.h"

#include <algorithm>

std::vector<TColumnPair> MatchColumnsById(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    std::vector<TColumnPair> pairs;
    for (size_t i = 0; i < stored.Ids.size(); ++i) {
        const auto match = std::find(utterance.Ids.begin(), utterance.Ids.end(), stored.Ids[i]);
        if (match != utterance.Ids.end())
            pairs.push_back({i, static_cast<size_t>(match - utterance.Ids.begin())});
    }
    return pairs;
}
