// parlanto-cli enroll: the "Save as model" flow without a window.
#include <cstdio>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "ExampleCheck.h"
#include "FileRecognizer.h"
#include "FolderPath.h"
#include "MatchOption.h"
#include "PercentText.h"
#include "SaveModel.h"
#include "UnloadedModelsWarning.h"
#include "UtteranceAtoms.h"

namespace {

const char* const kHelp =
    "usage: parlanto-cli enroll --models DIR --command NAME [--as NAME.trj] [--match MODE] FILE.wav\n"
    "\n"
    "Recognizes FILE.wav with the models of DIR, then saves its trajectory as DIR/Data/NAME.trj and lists it\n"
    "in the description of command NAME (created when no command has that exact name). A take that is too\n"
    "quiet, clipped, mostly noise or different from the command's other examples is saved all the same, with\n"
    "a warning on standard error.\n"
    "  --as NAME.trj  trajectory file name; default: the command name and the first free number\n"
    "  --match MODE   aligned (default) or classic: the matcher the take is recognized with, and how its\n"
    "                 speech is found (aligned: against the recording's own noise floor, so soft speech is kept)\n";

std::string WarningText(TExampleWarning warning, const std::string& command)
{
    switch (warning) {
    case TExampleWarning::TooQuiet:
        return "too quiet: its loudest sample is below -30 dBFS; speak closer or raise the input level";
    case TExampleWarning::Clipped:
        return "clipped: the recording reached full scale; speak softer or lower the input level";
    case TExampleWarning::MostlyNoise:
        return "mostly noise: the word stands less than 15 dB above the background";
    case TExampleWarning::Different:
        break;
    }
    return "different: it matches the other examples of " + command + " far worse than they match each other";
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
    TSovoObject& sovo = recognizer.Sovo();
    for (const TExampleWarning warning : CheckExample(AtomSamples(sovo.Processor->Atoms), sovo.LastTraj,
                                                      FindCommand(*sovo.Dictionary, command)))
        std::fprintf(stderr, "%s: warning: %s\n", cli.Positional[0].c_str(), WarningText(warning, command).c_str());
    const std::string trajectory = cli.Value("--as", FreeTrajectoryName(modelsDir, command) + ".trj");
    const TSavedModel saved =
        SaveLastCommandAsModel(*sovo.Dictionary, modelsDir, command, trajectory);
    std::printf("recognized as %s (Like %s); saved %s%s\n", result.CommandName.c_str(),
                PercentText(result.Like).c_str(), saved.TrajectoryFile.c_str(),
                saved.DescriptionChanged ? (", listed in " + saved.DescriptionFile).c_str() : "");
    return 0;
}
