// parlanto-cli phonemes build: a phoneme set learnt from recordings.
#include <cstdio>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "OptionValues.h"
#include "PhonemeRecordings.h"
#include "PhonemeSetBuilder.h"
#include "PhonemeSetWriter.h"

namespace {

const char* const kHelp =
    "usage: parlanto-cli phonemes build --out DIR (--from FOLDER | --manifest CSV)\n"
    "                                   [--templates T] [--units N] [--min-level L]\n"
    "\n"
    "Learns phoneme models from recordings: the atoms of every WAV file, made by the recognizer's own\n"
    "pre-processor, that are loud (Level at least L within their utterance) are clustered under the envelope\n"
    "correlation, and each cluster's centre becomes a 128-byte template. Writes DIR/NAME.phm and\n"
    "DIR/Data/NAME_k.bin, replacing the phoneme set DIR held before (its command models stay, but were\n"
    "recorded with the old set: enroll them again).\n"
    "  --from FOLDER   one subfolder per unit, named after it, holding the unit's WAV files\n"
    "  --manifest CSV  columns path (relative to the manifest) and unit\n"
    "  --templates T   templates per unit, 1..10; default 1\n"
    "  --units N       ignore the labels: cluster all loud atoms into N units named u01, u02, ...\n"
    "  --min-level L   loudness threshold, 0..1; default 0.5\n"
    "Ids are a hash of the unit's name, so rebuilding keeps every unit's id.\n";

int Build(const std::vector<std::string>& args)
{
    const CliArgs cli = ParseCliArgs(args, {"--out", "--from", "--manifest", "--templates", "--units", "--min-level"},
                                     {"--help"});
    if (PrintHelpIfAsked(cli, kHelp))
        return 0;
    if (!cli.Positional.empty())
        throw CliUsageError("unexpected argument " + cli.Positional.front());
    const std::string out = cli.Value("--out");
    const std::string from = cli.Value("--from");
    const std::string manifest = cli.Value("--manifest");
    if (out.empty() || from.empty() == manifest.empty())
        throw CliUsageError("give --out and one of --from and --manifest");

    TPhonemeBuildSettings settings;
    settings.TemplatesPerUnit =
        WholeNumberOption(cli, "--templates", settings.TemplatesPerUnit, 1, TPhonemeBuildSettings::kMaxTemplates);
    settings.DataDrivenUnits = WholeNumberOption(cli, "--units", 0, 0, 999);
    settings.MinLevel = NumberOption(cli, "--min-level", settings.MinLevel, 0.0, 1.0);

    const std::vector<TUnitRecordings> recordings =
        from.empty() ? RecordingsFromManifest(manifest) : RecordingsFromFolders(from);
    const std::vector<TBuiltPhoneme> phonemes = BuildPhonemeSet(recordings, settings);
    WritePhonemeSet(phonemes, out);

    size_t templates = 0;
    for (const TBuiltPhoneme& phoneme : phonemes) {
        std::printf("%-8s id %10d  %2zu template(s) from %zu loud atoms\n", phoneme.Name.c_str(), phoneme.Id,
                    phoneme.Templates.size(), phoneme.AtomCount);
        templates += phoneme.Templates.size();
    }
    std::printf("%zu phonemes, %zu templates written to %s\n", phonemes.size(), templates, out.c_str());
    return 0;
}

}  // namespace

int RunPhonemes(const std::vector<std::string>& args)
{
    if (args.empty() || args.front() == "--help") {
        std::fputs(kHelp, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    if (args.front() != "build")
        throw CliUsageError("unknown action '" + args.front() + "'; the one action is build");
    return Build(std::vector<std::string>(args.begin() + 1, args.end()));
}
