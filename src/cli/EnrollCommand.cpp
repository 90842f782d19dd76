// parlanto-cli enroll: the "Save as model" flow without a window.
#include <cstdio>
#include <filesystem>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "FileRecognizer.h"
#include "FolderPath.h"
#include "MatchOption.h"
#include "ModelFiles.h"
#include "PercentText.h"
#include "SaveModel.h"
#include "UnloadedModelsWarning.h"

namespace {

const char* const kHelp =
    "usage: parlanto-cli enroll --models DIR --command NAME [--as NAME.trj] [--match MODE] FILE.wav\n"
    "\n"
    "Recognizes FILE.wav with the models of DIR, then saves its trajectory as DIR/Data/NAME.trj and lists it\n"
    "in the description of command NAME (created when no command has that exact name).\n"
    "  --as NAME.trj  trajectory file name; default: the command name and the first free number\n"
    "  --match MODE   classic (default) or aligned: the matcher the take is recognized with, and how its\n"
    "                 speech is found (aligned: against the recording's own noise floor, so soft speech is kept)\n";

// "open" -> "open1.trj", or "open2.trj" when that exists already.
std::string FreeTrajectoryName(const std::string& modelsDir, const std::string& command)
{
    for (int n = 1;; ++n) {
        const std::string name = command + std::to_string(n) + ".trj";
        if (!std::filesystem::exists(ResolveModelPath(modelsDir + "Data/" + name)))
            return name;
    }
}

}  // namespace

int RunEnroll(const std::vector<std::string>& args)
{
    const CliArgs cli = ParseCliArgs(args, {"--models", "--command", "--as", "--match"}, {"--help"});
    if (PrintHelpIfAsked(cli, kHelp))
        return 0;
    if (cli.Positional.size() != 1)
        throw CliUsageError("give exactly one WAV file");
    std::string modelsDir = cli.Value("--models");
    const std::string command = cli.Value("--command");
    if (modelsDir.empty() || command.empty())
        throw CliUsageError("--models and --command are required");
    modelsDir = WithTrailingSeparator(modelsDir);

    const TMatchMode match = MatchOption(cli);
    TFileRecognizer recognizer(modelsDir, match);
    WarnOfUnloadedModels(recognizer);
    const TFileResult result = recognizer.Recognize(cli.Positional[0]);
    if (!result.Recognized) {
        std::fprintf(stderr, "%s: the utterance gave no result; nothing saved (%s)\n", cli.Positional[0].c_str(),
                     match == TMatchMode::Aligned ? "no sound in it: silent, or shorter than 512 samples"
                                                  : "too quiet or too short; --match aligned keeps soft speech");
        return 1;
    }
    const std::string trajectory = cli.Value("--as", FreeTrajectoryName(modelsDir, command));
    const TSavedModel saved =
        SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, modelsDir, command, trajectory);
    std::printf("recognized as %s (Like %s); saved %s%s\n", result.CommandName.c_str(),
                PercentText(result.Like).c_str(), saved.TrajectoryFile.c_str(),
                saved.DescriptionChanged ? (", listed in " + saved.DescriptionFile).c_str() : "");
    return 0;
}
