// parlanto-cli eval: enrolment and recognition of a labelled corpus, as a user would live it.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "Commands.h"
#include "EvalManifest.h"
#include "EvalSummary.h"
#include "Evaluation.h"
#include "FolderPath.h"
#include "MatchOption.h"
#include "ModelFiles.h"
#include "ModelSet.h"
#include "OptionValues.h"
#include "PercentText.h"
#include "RejectOption.h"
#include "RejectionReport.h"
#include "RejectionSummary.h"

namespace {

const std::string kHelp =
    std::string("usage: parlanto-cli eval --manifest CSV [--enroll K] [--models DIR] [--match MODE] [--reject R]\n"
    "                         [--non-speech DIR]\n"
    "\n"
    "For every speaker and vocabulary of the manifest, saves takes 1..K of each word as command models\n"
    "(as \"Save as model\" does, into a scratch folder holding a copy of the phoneme models of DIR), then\n"
    "recognizes every later take, each with a freshly started recognizer. Prints top-1 accuracy per speaker\n"
    "and vocabulary, per speaker (speakers of several vocabularies), per vocabulary and overall, the enrolment\n"
    "takes that gave no result (a word left without an example counts its takes as errors), a confusion\n"
    "matrix per vocabulary, and the Like and Distance\n"
    "of right and wrong answers, all matched as MODE says; then both matchers side by side: accuracy, the\n"
    "medians of Like and Distance, and how well Distance tells right answers from wrong ones (the chance\n"
    "that a right answer's Distance is the larger, the area under the ROC curve).\n"
    "  --manifest CSV  columns path (relative to the manifest), speaker, vocab, word, rep (the take's number;\n"
    "                  rows numbered below 1 are not used)\n"
    "  --enroll K      takes enrolled per word, 1 or more; default 3\n"
    "  --models DIR    folder of the phoneme models (*.phm) under test; default: Models/ beside the program\n"
    "  --match MODE    aligned (default) or classic: the matcher of the detailed report\n"
    "\n"
    "Where the detailed matcher rejects (see --reject), the report adds what rejection costs, and rejection\n"
    "is measured in a run of its own: per speaker and vocabulary only every other word is enrolled, the\n"
    "later takes of the others are spoken as unknown words, and every clip of --non-speech is played to the\n"
    "same models. It prints per speaker the right answers rejected, the accuracy among the accepted takes, the\n"
    "unknown words and non-speech clips accepted, and how well Like and Distance tell them apart.\n") +
    kRejectHelp +
    "  --non-speech DIR  *.wav files of sounds that are no speech (tools/make_non_speech.py makes some)\n";

void PrintAccuracy(const TAccuracy& accuracy)
{
    std::printf("%-20s %-12s %6zu %6zu %9s\n", accuracy.Speaker.empty() ? "all" : accuracy.Speaker.c_str(),
                accuracy.Vocab.empty() ? "all" : accuracy.Vocab.c_str(), accuracy.Right, accuracy.Total,
                PercentText(accuracy.Fraction()).c_str());
}

void PrintConfusion(const TConfusion& confusion)
{
    size_t width = 4;
    for (const std::string& label : confusion.Answers)
        width = std::max(width, label.size());
    size_t rowWidth = 6;
    for (const std::string& word : confusion.Words)
        rowWidth = std::max(rowWidth, word.size());
    const int w = static_cast<int>(width), rw = static_cast<int>(rowWidth);

    std::printf("\nConfusion, vocabulary %s (rows: spoken, columns: recognized)\n%-*s", confusion.Vocab.c_str(), rw,
                "");
    for (const std::string& label : confusion.Answers)
        std::printf(" %*s", w, label.c_str());
    std::printf("\n");
    for (size_t row = 0; row < confusion.Words.size(); ++row) {
        std::printf("%-*s", rw, confusion.Words[row].c_str());
        for (size_t column = 0; column < confusion.Answers.size(); ++column) {
            const size_t count = row < confusion.Counts.size() ? confusion.Counts[row][column] : 0;
            if (count == 0)
                std::printf(" %*s", w, ".");
            else
                std::printf(" %*zu", w, count);
        }
        std::printf("\n");
    }
}

// Mean and quartiles of one kind of answer; dashes when there is none.
void PrintSpreads(const char* label, const TSpread& like, const TSpread& distance)
{
    std::printf("%-6s %6zu", label, like.Count);
    for (const TSpread* spread : {&like, &distance}) {
        std::printf("  ");
        for (const double value : {spread->Mean, spread->Q1, spread->Median, spread->Q3})
            std::printf(" %8s", spread->Count == 0 ? "-" : PercentText(value).c_str());
    }
    std::printf("\n");
}

struct TModeSummary {
    TMatchMode Mode;
    TEvalSummary Summary;
};

// One row of the side-by-side table: a label and a value per matcher.
void PrintSideBySideRow(const std::string& label, const std::vector<TModeSummary>& modes,
                        const std::function<std::string(const TEvalSummary&)>& value)
{
    std::printf("%-32s", label.c_str());
    for (const TModeSummary& mode : modes)
        std::printf(" %14s", value(mode.Summary).c_str());
    std::printf("\n");
}

std::string AccuracyText(const TAccuracy& accuracy)
{
    return CountText(accuracy.Right, accuracy.Total);
}

std::string MedianText(const TSpread& spread)
{
    return spread.Count == 0 ? "-" : PercentText(spread.Median);
}

void PrintSideBySide(const std::vector<TModeSummary>& modes)
{
    std::printf("\nMatchers side by side\n%-32s", "");
    for (const TModeSummary& mode : modes)
        std::printf(" %14s", MatchModeName(mode.Mode));
    std::printf("\n");
    const std::vector<TAccuracy>& vocabularies = modes.front().Summary.Vocabularies;
    for (size_t i = 0; i < vocabularies.size(); ++i) {
        PrintSideBySideRow("top-1, vocabulary " + vocabularies[i].Vocab, modes,
                           [i](const TEvalSummary& s) { return AccuracyText(s.Vocabularies[i]); });
    }
    PrintSideBySideRow("top-1, all", modes, [](const TEvalSummary& s) { return AccuracyText(s.Overall); });
    PrintSideBySideRow("Like median, right", modes, [](const TEvalSummary& s) { return MedianText(s.LikeRight); });
    PrintSideBySideRow("Like median, wrong", modes, [](const TEvalSummary& s) { return MedianText(s.LikeWrong); });
    PrintSideBySideRow("Distance median, right", modes,
                       [](const TEvalSummary& s) { return MedianText(s.DistanceRight); });
    PrintSideBySideRow("Distance median, wrong", modes,
                       [](const TEvalSummary& s) { return MedianText(s.DistanceWrong); });
    PrintSideBySideRow("Distance, right over wrong (AUC)", modes,
                       [](const TEvalSummary& s) { return AucText(s.DistanceSeparation); });
}

}  // namespace

int RunEval(const std::vector<std::string>& args)
{
    const CliArgs cli =
        ParseCliArgs(args, {"--manifest", "--enroll", "--models", "--match", "--reject", "--non-speech"}, {"--help"});
    if (PrintHelpIfAsked(cli, kHelp.c_str()))
        return 0;
    if (!cli.Positional.empty())
        throw CliUsageError("unexpected argument " + cli.Positional.front());
    const std::string manifest = cli.Value("--manifest");
    if (manifest.empty())
        throw CliUsageError("--manifest is required");
    TEvalSettings settings;
    settings.EnrolledTakes =
        WholeNumberOption(cli, "--enroll", settings.EnrolledTakes, 1, std::numeric_limits<int>::max());
    settings.PhonemeModelsDir = WithTrailingSeparator(cli.Value("--models", DefaultModelsDirectory()));
    const TMatchMode detailed = MatchOption(cli);
    settings.Rejection = RejectOption(cli);
    const bool rejecting = RejectsIn(settings.Rejection, detailed);
    if (cli.Values.count("--non-speech") != 0 && !rejecting)
        throw CliUsageError("--non-speech measures rejection, which is off with these options");

    const std::vector<TEvalTake> takes = ReadEvalManifest(manifest);
    TEvalRun run;
    std::vector<TModeSummary> modes;
    for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
        settings.Match = mode;
        TEvalRun modeRun = RunEvaluation(takes, settings);
        modes.push_back({mode, Summarize(modeRun)});
        if (mode == detailed)
            run = std::move(modeRun);
    }
    const TEvalSummary& summary = modes[detailed == TMatchMode::Classic ? 0 : 1].Summary;

    const std::string enrolled =
        settings.EnrolledTakes == 1 ? "Take 1" : "Takes 1.." + std::to_string(settings.EnrolledTakes);
    std::printf("%s of each word enrolled, phoneme models of %s, %s matching\n", enrolled.c_str(),
                settings.PhonemeModelsDir.c_str(), MatchModeName(detailed));
    std::printf("%zu takes recognized, %zu rows numbered below 1 not used, %zu enrolment takes without result\n",
                run.Answers.size(), run.UnusedTakes, run.NotEnrolled.size());
    for (const TEvalTake& take : run.NotEnrolled)
        std::printf("  no result, not enrolled: %s\n", take.Path.c_str());
    for (const TAccuracy& group : summary.Groups) {
        if (group.NotEnrolled > 0)
            std::printf("  %s %s: %zu enrolment takes without result\n", group.Speaker.c_str(), group.Vocab.c_str(),
                        group.NotEnrolled);
    }

    std::printf("\nTop-1 accuracy\n%-20s %-12s %6s %6s %9s\n", "speaker", "vocabulary", "right", "total", "accuracy");
    for (const TAccuracy& accuracy : summary.Groups)
        PrintAccuracy(accuracy);
    if (summary.Speakers.size() > 1 && summary.Speakers.size() < summary.Groups.size()) {
        for (const TAccuracy& accuracy : summary.Speakers)
            PrintAccuracy(accuracy);
    }
    for (const TAccuracy& accuracy : summary.Vocabularies)
        PrintAccuracy(accuracy);
    PrintAccuracy(summary.Overall);
    if (rejecting)
        PrintRejectionCost(SummarizeRejection(run).Overall);

    for (const TConfusion& confusion : summary.Confusions)
        PrintConfusion(confusion);

    std::printf("\nLike and Distance of the answers with a result: mean, quartiles\n");
    std::printf("%-6s %6s   %8s %8s %8s %8s   %8s %8s %8s %8s\n", "answer", "count", "Like", "q1", "median", "q3",
                "Distance", "q1", "median", "q3");
    PrintSpreads("right", summary.LikeRight, summary.DistanceRight);
    PrintSpreads("wrong", summary.LikeWrong, summary.DistanceWrong);
    PrintSideBySide(modes);

    if (rejecting) {
        settings.Match = detailed;
        settings.UnknownWords = true;
        const std::string nonSpeech = cli.Value("--non-speech");
        if (!nonSpeech.empty())
            settings.NonSpeech = ListModelFiles(WithTrailingSeparator(nonSpeech), "wav");
        std::printf("\nEvery other word of a vocabulary enrolled, the others spoken as unknown words; %zu non-speech clips\n",
                    settings.NonSpeech.size());
        PrintRejectionReport(SummarizeRejection(RunEvaluation(takes, settings)));
    }
    return 0;
}
