#include "RejectionSummary.h"

#include <algorithm>
#include <functional>

#include "EvalSummary.h"

namespace {

constexpr double kRejectedShares[] = {0.01, 0.02, 0.05};

void Count(TRejectionCounts& counts, const TEvalAnswer& answer)
{
    const bool accepted = answer.Recognized && answer.Accepted;
    switch (answer.Kind) {
    case TSpokenKind::Command:
        ++counts.Commands;
        counts.Right += answer.Right();
        counts.RightRejected += answer.Right() && !accepted;
        counts.Accepted += accepted;
        counts.AcceptedRight += answer.Right() && accepted;
        break;
    case TSpokenKind::UnknownWord:
        ++counts.Unknown;
        counts.UnknownAccepted += accepted;
        break;
    case TSpokenKind::NonSpeech:
        ++counts.NonSpeech;
        counts.NonSpeechAccepted += accepted;
        break;
    }
}

double ShareFrom(const std::vector<double>& values, double threshold)
{
    if (values.empty())
        return 0.0;
    const auto from = std::count_if(values.begin(), values.end(), [threshold](double v) { return v >= threshold; });
    return static_cast<double>(from) / static_cast<double>(values.size());
}

// A file without result has no score: it is never accepted, whatever the threshold.
TScoreSeparation Separate(const std::string& name, const TEvalRun& run, const std::function<double(const TEvalAnswer&)>& score)
{
    std::vector<double> right, unknown, nonSpeech;
    size_t unknownTotal = 0, nonSpeechTotal = 0;
    for (const TEvalAnswer& answer : run.Answers) {
        unknownTotal += answer.Kind == TSpokenKind::UnknownWord;
        nonSpeechTotal += answer.Kind == TSpokenKind::NonSpeech;
        if (!answer.Recognized)
            continue;
        if (answer.Kind == TSpokenKind::Command && answer.Right())
            right.push_back(score(answer));
        else if (answer.Kind == TSpokenKind::UnknownWord)
            unknown.push_back(score(answer));
        else if (answer.Kind == TSpokenKind::NonSpeech)
            nonSpeech.push_back(score(answer));
    }
    TScoreSeparation separation{name, Separation(right, unknown), Separation(right, nonSpeech), {}};
    if (right.empty())
        return separation;
    std::sort(right.begin(), right.end());
    const auto scale = [](size_t total, size_t scored) {
        return total == 0 ? 0.0 : static_cast<double>(scored) / static_cast<double>(total);
    };
    for (const double share : kRejectedShares) {
        const double threshold = right[static_cast<size_t>(share * static_cast<double>(right.size()))];
        separation.Points.push_back({share, threshold,
                                     ShareFrom(unknown, threshold) * scale(unknownTotal, unknown.size()),
                                     ShareFrom(nonSpeech, threshold) * scale(nonSpeechTotal, nonSpeech.size())});
    }
    return separation;
}

}  // namespace

TRejectionSummary SummarizeRejection(const TEvalRun& run)
{
    TRejectionSummary summary;
    for (const TEvalAnswer& answer : run.Answers) {
        auto speaker = std::find_if(summary.Speakers.begin(), summary.Speakers.end(),
                                    [&](const TRejectionCounts& c) { return c.Speaker == answer.Spoken.Speaker; });
        if (speaker == summary.Speakers.end()) {
            summary.Speakers.push_back({answer.Spoken.Speaker});
            speaker = summary.Speakers.end() - 1;
        }
        Count(*speaker, answer);
        Count(summary.Overall, answer);
    }
    summary.Scores.push_back(Separate("Like", run, [](const TEvalAnswer& a) { return a.Like; }));
    summary.Scores.push_back(Separate("Distance", run, [](const TEvalAnswer& a) { return a.Distance; }));
    return summary;
}
