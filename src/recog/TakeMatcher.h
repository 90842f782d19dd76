#pragma once
// One utterance matched with stored takes in one mode: exactly, and, from a take's compact forms, as an upper
// bound of what the exact match could give, so that a large vocabulary is matched in full only where it
// matters.
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "AlignedLikeness.h"
#include "ColumnLikenessBound.h"
#include "MatchMode.h"
#include "SovoTypes.h"
#include "TakeForms.h"

class TTakeMatcher {
public:
    // Refers to utterance, which must outlive it.
    TTakeMatcher(const TCommandTraj& utterance, TMatchMode mode);

    // The likeness of stored (0..1). Only one of floor or more is needed: a lower one may come out as anything
    // below floor.
    double Likeness(const TCommandTraj& stored, double floor = 0.0) const;
    // The same for a take of these forms, from what they hold where that serves (the same likeness).
    double Likeness(const TCommandTraj& stored, const TTakeForms& forms, double floor) const;
    // Never below Likeness of the take with these forms (column ids ids); cheap, for every take of a vocabulary.
    // Infinity for a take without a compact form for this mode.
    double QuickAtMost(const TTakeForms& forms, const std::vector<int32_t>& ids) const;
    // Tighter and dearer, where there is such a bound (aligned; infinity otherwise): never below Likeness, except
    // that it may come out below floor once Likeness is sure to be below floor.
    double AtMost(const TTakeForms& forms, const std::vector<int32_t>& ids, double floor) const;

private:
    const TColumnLikenessBound& ClassicBound() const;

    const TCommandTraj& utterance_;
    std::optional<TAlignedMatcher> aligned_;
    // Made on the first bound asked for: a vocabulary scored in full never asks.
    mutable std::once_flag classicBoundMade_;
    mutable std::unique_ptr<TColumnLikenessBound> classicBound_;
};
