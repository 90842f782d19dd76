#include "TakeMatcher.h"

#include <limits>

#include "ColumnLikeness.h"

namespace {

constexpr double kNoBound = std::numeric_limits<double>::infinity();

}  // namespace

TTakeMatcher::TTakeMatcher(const TCommandTraj& utterance, TMatchMode mode) : utterance_(utterance)
{
    if (mode == TMatchMode::Aligned)
        aligned_.emplace(utterance);
}

const TColumnLikenessBound& TTakeMatcher::ClassicBound() const
{
    std::call_once(classicBoundMade_, [this] { classicBound_ = std::make_unique<TColumnLikenessBound>(utterance_); });
    return *classicBound_;
}

double TTakeMatcher::Likeness(const TCommandTraj& stored, double floor) const
{
    if (aligned_)
        return LikenessOfDistance(aligned_->Distance(stored, DistanceBelowLikeness(floor)));
    return AverageColumnLikeness(utterance_, stored, floor);
}

double TTakeMatcher::Likeness(const TCommandTraj& stored, const TTakeForms& forms, double floor) const
{
    if (aligned_ && forms.Speech)
        return LikenessOfDistance(aligned_->Distance(*forms.Speech, stored.Ids, DistanceBelowLikeness(floor)));
    return Likeness(stored, floor);
}

double TTakeMatcher::QuickAtMost(const TTakeForms& forms, const std::vector<int32_t>& ids) const
{
    if (aligned_)
        return forms.Frames ? LikenessAtMost(aligned_->BlockDistanceAtLeast(*forms.Frames, ids)) : kNoBound;
    return forms.Rows ? ClassicBound().AtMost(*forms.Rows, ids) : kNoBound;
}

double TTakeMatcher::AtMost(const TTakeForms& forms, const std::vector<int32_t>& ids, double floor) const
{
    if (aligned_ && forms.Frames)
        return LikenessAtMost(aligned_->DistanceAtLeast(*forms.Frames, ids, DistanceBelowLikeness(floor)));
    return kNoBound;
}
