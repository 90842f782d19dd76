// parlanto-cli recognize: one line (or one JSON object) per file.
#include <cstdio>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "FileRecognizer.h"
#include "MatchOption.h"
#include "MessageText.h"
#include "TextFormat.h"
#include "ModelSet.h"
#include "PercentText.h"
#include "RejectOption.h"
#include "UnloadedModelsWarning.h"

namespace {

const std::string kHelp =
    std::string("usage: parlanto-cli recognize [--models DIR] [--match MODE] [--reject R] [--json] [--fresh] FILE.wav...\n"
    "\n"
    "Recognizes each file as the window does: 1024-sample blocks, one running recognizer whose state\n"
    "carries from file to file.\n"
    "  --models DIR  model folder (*.phm, *.vcm); default: Models/ beside the program\n"
    "  --match MODE  aligned (default): speech rows only, time-aligned, tolerant of pauses, noise and tempo;\n"
    "                classic: whole score series correlated phoneme by phoneme\n") +
    kRejectHelp +
    "  --json        print a JSON array with every model's score; \"accepted\" tells whether the file was\n"
    "                taken as the command named. Beyond 100 commands only those that could be the best or\n"
    "                the runner-up get a score; the others get null and \"at_most\", a bound of it\n"
    "  --fresh       start every file from the initial state\n"
    "A file that cannot be read is named on standard error with the reason (and in the JSON array with\n"
    "\"error\"); the other files are still recognized, and the exit status is 1.\n";

void PrintLine(const std::string& file, const TFileResult& result)
{
    if (!result.Recognized) {
        std::printf("%s: no result\n", file.c_str());
        return;
    }
    const std::string answer = result.Accepted ? result.CommandName : "not a command (nearest " + result.CommandName + ")";
    std::printf("%s: %s  Like %s  Distance %s\n", file.c_str(), answer.c_str(), PercentText(result.Like).c_str(),
                PercentText(result.Distance).c_str());
}

void PrintJson(const std::string& file, const TFileResult& result, bool first)
{
    std::printf("%s  {\"file\": %s, \"recognized\": %s", first ? "" : ",\n", JsonString(file).c_str(),
                result.Recognized ? "true" : "false");
    if (result.Recognized) {
        std::printf(", \"command\": %s, \"like\": %s, \"distance\": %s, \"accepted\": %s, \"models\": [",
                    JsonString(result.CommandName).c_str(), ShortestNumber(result.Like).c_str(),
                    ShortestNumber(result.Distance).c_str(), result.Accepted ? "true" : "false");
        for (size_t i = 0; i < result.Models.size(); ++i) {
            const TModelScore& model = result.Models[i];
            const std::string score = ShortestNumber(model.Score);
            std::printf("%s{\"name\": %s, %s}", i == 0 ? "" : ", ", JsonString(model.Name).c_str(),
                        (model.Exact ? "\"score\": " + score : "\"score\": null, \"at_most\": " + score).c_str());
        }
        std::printf("]");
    }
    std::printf("}");
}

// A file that could not be read: named on standard error with the reason, and in the JSON array so that a
// script sees every file it gave.
void ReportUnreadable(const std::string& file, const std::string& message, bool json, bool first)
{
    std::fprintf(stderr, "%s: %s\n", file.c_str(), message.c_str());
    if (json) {
        std::printf("%s  {\"file\": %s, \"recognized\": false, \"error\": %s}", first ? "" : ",\n",
                    JsonString(file).c_str(), JsonString(message).c_str());
    }
}

}  // namespace

int RunRecognize(const std::vector<std::string>& args)
{
    const CliArgs cli = ParseCliArgs(args, {"--models", "--match", "--reject"}, {"--json", "--fresh", "--help"});
    if (PrintHelpIfAsked(cli, kHelp.c_str()))
        return 0;
    if (cli.Positional.empty())
        throw CliUsageError("no WAV file given");
    const std::string modelsDir = cli.Value("--models", DefaultModelsDirectory());
    const TMatchMode match = MatchOption(cli);
    const TRejection rejection = RejectOption(cli);
    const bool json = cli.Has("--json");

    TFileRecognizer recognizer(modelsDir, match);
    recognizer.Sovo().SetRejection(rejection);
    WarnOfUnloadedModels(recognizer);
    const bool fresh = cli.Has("--fresh");
    bool allRead = true;
    if (json)
        std::printf("[\n");
    for (size_t i = 0; i < cli.Positional.size(); ++i) {
        const std::string& file = cli.Positional[i];
        // One file that cannot be read does not keep the others from being recognized; the exit status tells.
        try {
            const TFileResult result = fresh ? recognizer.RecognizeFresh(file) : recognizer.Recognize(file);
            if (json)
                PrintJson(file, result, i == 0);
            else
                PrintLine(file, result);
        } catch (const std::exception& e) {
            allRead = false;
            ReportUnreadable(file, DisplayText(e.what()), json, i == 0);
        }
    }
    if (json)
        std::printf("\n]\n");
    return allRead ? 0 : 1;
}
