#include "ContenderSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

struct TCommandBounds {
    std::vector<double> Takes;   // one per take
    double Highest = 0.0;        // a command without takes scores 0
};

TCommandBounds BoundsOf(const TVoiceCommandModel& model, const TTakeMatcher& matcher)
{
    TCommandBounds bounds;
    const bool withForms = model.Forms.size() == model.Trajectories.size();
    for (size_t take = 0; take < model.Trajectories.size(); ++take) {
        const double bound = withForms ? matcher.QuickAtMost(model.Forms[take], model.Trajectories[take].Ids)
                                       : std::numeric_limits<double>::infinity();
        bounds.Takes.push_back(std::isnan(bound) ? std::numeric_limits<double>::infinity() : bound);
        bounds.Highest = std::max(bounds.Highest, bounds.Takes.back());
    }
    return bounds;
}

// The best exact score so far and the highest one below it (0 when there is none, as the runner-up counts).
class TTopTwo {
public:
    void Add(double score)
    {
        if (score > best_) {
            second_ = std::max(second_, best_);
            best_ = score;
        } else if (score < best_ && score > second_) {
            second_ = score;
        }
    }
    // Whether a command that scores at most bound can change neither: it cannot reach the best (nor tie with it,
    // which would make the later command the best), nor rise above the runner-up.
    bool Unchanged(double bound) const { return bound < best_ && bound <= second_; }
    double Second() const { return second_; }

private:
    double best_ = -std::numeric_limits<double>::infinity();
    double second_ = 0.0;
};

// The command's take bounds made tighter where the matcher has a dearer bound, now that only a score above floor
// matters: a take sure to stay below floor keeps floor as its bound.
void Tighten(const TVoiceCommandModel& model, const TTakeMatcher& matcher, double floor, TCommandBounds& bounds)
{
    if (model.Forms.size() != model.Trajectories.size())
        return;
    bounds.Highest = 0.0;
    for (size_t take = 0; take < bounds.Takes.size(); ++take) {
        double& bound = bounds.Takes[take];
        if (bound > floor)
            bound = std::min(bound, std::max(floor, matcher.AtMost(model.Forms[take], model.Trajectories[take].Ids, floor)));
        bounds.Highest = std::max(bounds.Highest, bound);
    }
}

}  // namespace

void ScoreContenders(const std::vector<std::unique_ptr<TVoiceCommandModel>>& models, const TTakeMatcher& matcher)
{
    std::vector<TCommandBounds> bounds;
    bounds.reserve(models.size());
    for (const std::unique_ptr<TVoiceCommandModel>& model : models)
        bounds.push_back(BoundsOf(*model, matcher));
    std::vector<size_t> order(models.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return bounds[a].Highest > bounds[b].Highest; });
    TTopTwo top;
    const auto leaveWithBound = [&models](size_t index, double bound) {
        models[index]->LastScore = std::clamp(bound, 0.0, 1.0);
        models[index]->LastScoreExact = false;
    };
    size_t next = 0;
    for (; next < order.size() && !top.Unchanged(bounds[order[next]].Highest); ++next) {
        TCommandBounds& command = bounds[order[next]];
        Tighten(*models[order[next]], matcher, top.Second(), command);
        if (top.Unchanged(command.Highest))
            leaveWithBound(order[next], command.Highest);
        else
            top.Add(models[order[next]]->ScoreWith(matcher, command.Takes));
    }
    for (; next < order.size(); ++next)
        leaveWithBound(order[next], bounds[order[next]].Highest);
}
