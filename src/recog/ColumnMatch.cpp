#include "ColumnMatch.h"

#include <algorithm>

std::vector<TColumnPair> MatchColumnsById(const TCommandTraj& utterance, const TCommandTraj& stored)
{
    return MatchColumnsById(utterance.Ids, stored.Ids);
}

std::vector<TColumnPair> MatchColumnsById(const std::vector<int32_t>& utteranceIds,
                                          const std::vector<int32_t>& storedIds)
{
    std::vector<TColumnPair> pairs;
    for (size_t i = 0; i < storedIds.size(); ++i) {
        const auto match = std::find(utteranceIds.begin(), utteranceIds.end(), storedIds[i]);
        if (match != utteranceIds.end())
            pairs.push_back({i, static_cast<size_t>(match - utteranceIds.begin())});
    }
    return pairs;
}
