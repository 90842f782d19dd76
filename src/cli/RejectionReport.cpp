#include "RejectionReport.h"

#include <cstdio>

#include "PercentText.h"

namespace {

void PrintCounts(const TRejectionCounts& c)
{
    std::printf("%-20s %16s %16s %16s %16s\n", c.Speaker.empty() ? "all" : c.Speaker.c_str(),
                CountText(c.RightRejected, c.Right).c_str(), CountText(c.AcceptedRight, c.Accepted).c_str(),
                CountText(c.UnknownAccepted, c.Unknown).c_str(), CountText(c.NonSpeechAccepted, c.NonSpeech).c_str());
}

}  // namespace

std::string AucText(const std::optional<double>& auc)
{
    if (!auc)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", *auc);
    return text;
}

std::string CountText(size_t count, size_t total)
{
    const double share = total == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(total);
    return std::to_string(count) + "/" + std::to_string(total) + " " + PercentText(share);
}

void PrintRejectionCost(const TRejectionCounts& counts)
{
    std::printf("With rejection: %s of the right answers rejected, accuracy among the accepted %s\n",
                CountText(counts.RightRejected, counts.Right).c_str(),
                CountText(counts.AcceptedRight, counts.Accepted).c_str());
}

void PrintRejectionReport(const TRejectionSummary& summary)
{
    std::printf("\nRejection\n%-20s %16s %16s %16s %16s\n", "speaker", "right rejected", "accepted right",
                "unknown accepted", "noise accepted");
    for (const TRejectionCounts& counts : summary.Speakers)
        PrintCounts(counts);
    PrintCounts(summary.Overall);

    std::printf("\nRight answers over unknown words and non-speech: AUC, and a threshold that rejects a share of the\n"
                "right answers with the unknown words and non-speech it accepts\n%-9s %8s %8s",
                "score", "unknown", "noise");
    for (const TOperatingPoint& point : summary.Scores.front().Points)
        std::printf("   %-26s", ("at " + PercentText(point.RightRejected) + ": threshold unk noise").c_str());
    std::printf("\n");
    for (const TScoreSeparation& score : summary.Scores) {
        std::printf("%-9s %8s %8s", score.Score.c_str(), AucText(score.UnknownAuc).c_str(),
                    AucText(score.NonSpeechAuc).c_str());
        for (const TOperatingPoint& point : score.Points)
            std::printf("   %9s %8s %7s", PercentText(point.Threshold).c_str(),
                        PercentText(point.UnknownAccepted).c_str(), PercentText(point.NonSpeechAccepted).c_str());
        std::printf("\n");
    }
}
