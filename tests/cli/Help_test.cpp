// Every command describes itself on --help: its usage on standard output, exit status 0, and nothing done
// even when the other arguments are wrong or missing.
#include <gtest/gtest.h>

#include <string>

#include "CliRun.h"

namespace {

TEST(Help, EveryCommandPrintsItsUsageAndDoesNothingElse)
{
    struct Case {
        std::string arguments;
        std::string usage;
    };
    const Case cases[] = {
        {"recognize --help no-such.wav", "usage: parlanto-cli recognize "},
        {"atoms --help", "usage: parlanto-cli atoms "},
        {"enroll --help --models /nonexistent", "usage: parlanto-cli enroll "},
        {"eval --help", "usage: parlanto-cli eval "},
        {"phonemes build --help", "usage: parlanto-cli phonemes build "},
        {"listen --help --microphone no-such.wav", "usage: parlanto-cli listen "},
    };
    for (const Case& c : cases) {
        const TCliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.ExitCode, 0) << c.arguments;
        EXPECT_EQ(run.Output.rfind(c.usage, 0), 0u) << c.arguments << ":\n" << run.Output;
    }
}

}  // namespace
