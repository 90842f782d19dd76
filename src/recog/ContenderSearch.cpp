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

private:
    double best_ = -std::numeric_limits<double>::infinity();
    double second_ = 0.0;
};

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
    size_t scored = 0;
    for (; scored < order.size() && !top.Unchanged(bounds[order[scored]].Highest); ++scored) {
        TVoiceCommandModel& model = *models[order[scored]];
        top.Add(model.ScoreWith(matcher, bounds[order[scored]].Takes));
    }
    for (; scored < order.size(); ++scored) {
        TVoiceCommandModel& model = *models[order[scored]];
        model.LastScore = std::clamp(bounds[order[scored]].Highest, 0.0, 1.0);
        model.LastScoreExact = false;
    }
}
