// parlanto-cli atoms: the final atoms of one utterance as CSV.
#include <cstdio>
#include <string>

#include "CliArgs.h"
#include "Commands.h"
#include "TextFormat.h"
#include "UtteranceAtoms.h"

namespace {

const char* const kHelp =
    "usage: parlanto-cli atoms FILE.wav\n"
    "\n"
    "Prints every atom of the utterance after smoothing and trimming, as the recognizer sees it:\n"
    "index,SampleCount,Quiet,MainTone,Voicing,Energy,Level,EnvelopeBytes (bands 0..127 in hex).\n";

std::string HexBytes(const uint8_t* bytes, int count)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (int i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

}  // namespace

int RunAtoms(const std::vector<std::string>& args)
{
    const CliArgs cli = ParseCliArgs(args, {}, {"--help"});
    if (PrintHelpIfAsked(cli, kHelp))
        return 0;
    if (cli.Positional.size() != 1)
        throw CliUsageError("give exactly one WAV file");

    const TArrayAtoms atoms = ReadUtteranceAtoms(cli.Positional[0]);
    std::printf("index,SampleCount,Quiet,MainTone,Voicing,Energy,Level,EnvelopeBytes\n");
    for (size_t i = 0; i < atoms.size(); ++i) {
        const TAtom& atom = atoms[i];
        std::printf("%zu,%d,%d,%s,%s,%s,%s,%s\n", i, atom.SampleCount, atom.Quiet ? 1 : 0,
                    ShortestNumber(atom.MainTone).c_str(), ShortestNumber(atom.Voicing).c_str(),
                    ShortestNumber(atom.Energy).c_str(), ShortestNumber(atom.Level).c_str(),
                    HexBytes(atom.EnvelopeBytes, kBandCount).c_str());
    }
    return 0;
}
