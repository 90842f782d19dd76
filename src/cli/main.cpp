// parlanto-cli: the recognizer without a window.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "Commands.h"
#include "MessageText.h"

namespace {

const char* const kUsage =
    "usage: parlanto-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  recognize [--models DIR] [--match MODE] [--json] [--fresh] FILE.wav...\n"
    "                                                            recognize voice commands\n"
    "  atoms FILE.wav                                            print the utterance's atoms as CSV\n"
    "  enroll --models DIR --command NAME [--as NAME.trj] FILE.wav\n"
    "                                                            save FILE.wav as an example of a command\n"
    "  eval --manifest CSV [--enroll K] [--models DIR]           accuracy of enrolment and recognition\n"
    "  listen [--models DIR] [--match MODE] [--reject R] (--microphone | FILE.wav)\n"
    "                                                            one JSON line per utterance found in a stream\n"
    "  phonemes build --out DIR (--from FOLDER | --manifest CSV) [--templates T] [--units N]\n"
    "                                                            learn a phoneme set from recordings\n"
    "\n"
    "'parlanto-cli COMMAND --help' describes one command; 'parlanto-cli --version' prints the version.\n";

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"recognize", RunRecognize},
    {"atoms", RunAtoms},
    {"enroll", RunEnroll},
    {"eval", RunEval},
    {"phonemes", RunPhonemes},
    {"listen", RunListen},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    if (name == "--version") {
        std::puts("parlanto-cli " PARLANTO_VERSION);
        return 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        try {
            return command.run(args);
        } catch (const CliUsageError& e) {
            std::fprintf(stderr, "parlanto-cli %s: %s\n", command.name, e.what());
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", DisplayText(e.what()).c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "parlanto-cli: unknown command '%s'\n\n%s", name.c_str(), kUsage);
    return 2;
}
