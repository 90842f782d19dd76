#pragma once
// PLACEHOLDER until the bound lands
#include <limits>
#include <vector>
#include "CompactScores.h"
#include "SovoTypes.h"
class TColumnLikenessBound {
public:
    explicit TColumnLikenessBound(const TCommandTraj&) {}
    double AtMost(const TCompactScores&, const std::vector<int32_t>&) const { return std::numeric_limits<double>::infinity(); }
};
