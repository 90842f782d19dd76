#include "EvalSummary.h"

#include <algorithm>
#include <numeric>

namespace {

// The first item that match accepts; made by make and appended when there is none yet.
template <typename T, typename Match, typename Make>
T& FindOrAdd(std::vector<T>& items, Match match, Make make)
{
    const auto found = std::find_if(items.begin(), items.end(), match);
    if (found != items.end())
        return *found;
    items.push_back(make());
    return items.back();
}

// The rows a take counts in: its speaker and vocabulary, its speaker, its vocabulary, and the whole run.
std::vector<TAccuracy*> RowsOf(TEvalSummary& summary, const TEvalTake& take)
{
    return {
        &FindOrAdd(summary.Groups, [&](const TAccuracy& a) { return a.Speaker == take.Speaker && a.Vocab == take.Vocab; },
                   [&] { return TAccuracy{take.Speaker, take.Vocab}; }),
        &FindOrAdd(summary.Speakers, [&](const TAccuracy& a) { return a.Speaker == take.Speaker; },
                   [&] { return TAccuracy{take.Speaker, ""}; }),
        &FindOrAdd(summary.Vocabularies, [&](const TAccuracy& a) { return a.Vocab == take.Vocab; },
                   [&] { return TAccuracy{"", take.Vocab}; }),
        &summary.Overall,
    };
}

size_t IndexOf(std::vector<std::string>& labels, const std::string& label)
{
    const auto found = std::find(labels.begin(), labels.end(), label);
    if (found != labels.end())
        return static_cast<size_t>(found - labels.begin());
    labels.push_back(label);
    return labels.size() - 1;
}

// Words in order of first appearance, so that the matrix's diagonal holds the right answers.
TConfusion EmptyConfusion(const std::string& vocab, const std::vector<TEvalAnswer>& answers)
{
    TConfusion confusion;
    confusion.Vocab = vocab;
    for (const TEvalAnswer& answer : answers) {
        if (answer.Spoken.Vocab == vocab && answer.Kind == TSpokenKind::Command)
            IndexOf(confusion.Words, answer.Spoken.Word);
    }
    confusion.Answers = confusion.Words;
    return confusion;
}

void AddToConfusion(TConfusion& confusion, const TEvalAnswer& answer)
{
    const size_t row = IndexOf(confusion.Words, answer.Spoken.Word);
    const size_t column = IndexOf(confusion.Answers, answer.Recognized ? answer.Answer : TConfusion::kNoResult);
    confusion.Counts.resize(confusion.Words.size());
    for (std::vector<size_t>& counts : confusion.Counts)
        counts.resize(confusion.Answers.size());
    ++confusion.Counts[row][column];
}

double Quantile(const std::vector<double>& sorted, double q)
{
    const double position = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<size_t>(position);
    if (below + 1 >= sorted.size())
        return sorted.back();
    return sorted[below] + (position - static_cast<double>(below)) * (sorted[below + 1] - sorted[below]);
}

}  // namespace

TSpread SpreadOf(std::vector<double> values)
{
    TSpread spread;
    spread.Count = values.size();
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    spread.Mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    spread.Q1 = Quantile(values, 0.25);
    spread.Median = Quantile(values, 0.5);
    spread.Q3 = Quantile(values, 0.75);
    return spread;
}

std::optional<double> Separation(const std::vector<double>& higher, const std::vector<double>& lower)
{
    if (higher.empty() || lower.empty())
        return std::nullopt;
    double wins = 0.0;
    for (const double high : higher) {
        for (const double low : lower)
            wins += high > low ? 1.0 : high == low ? 0.5 : 0.0;
    }
    return wins / (static_cast<double>(higher.size()) * static_cast<double>(lower.size()));
}

TEvalSummary Summarize(const TEvalRun& run)
{
    TEvalSummary summary;
    std::vector<double> likeRight, likeWrong, distanceRight, distanceWrong;
    for (const TEvalAnswer& answer : run.Answers) {
        if (answer.Kind != TSpokenKind::Command)
            continue;   // what rejection is measured on (RejectionSummary.h)
        const TEvalTake& spoken = answer.Spoken;
        const bool right = answer.Right();
        for (TAccuracy* row : RowsOf(summary, spoken)) {
            ++row->Total;
            row->Right += right;
        }
        AddToConfusion(FindOrAdd(summary.Confusions, [&](const TConfusion& c) { return c.Vocab == spoken.Vocab; },
                                 [&] { return EmptyConfusion(spoken.Vocab, run.Answers); }),
                       answer);
        if (answer.Recognized) {
            (right ? likeRight : likeWrong).push_back(answer.Like);
            (right ? distanceRight : distanceWrong).push_back(answer.Distance);
        }
    }
    for (const TEvalTake& take : run.NotEnrolled) {
        for (TAccuracy* row : RowsOf(summary, take))
            ++row->NotEnrolled;
    }
    summary.LikeRight = SpreadOf(likeRight);
    summary.LikeWrong = SpreadOf(likeWrong);
    summary.DistanceRight = SpreadOf(distanceRight);
    summary.DistanceWrong = SpreadOf(distanceWrong);
    summary.DistanceSeparation = Separation(distanceRight, distanceWrong);
    return summary;
}
