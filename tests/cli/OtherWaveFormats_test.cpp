// Recordings as other tools write them: a copy of every example in another rate, width or channel count is
// recognized as the same command as the original.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

// The command a one-file recognize line names: "FILE: COMMAND  Like ...".
std::string CommandOf(const std::string& line)
{
    const std::size_t start = line.find(": ");
    const std::size_t end = line.find("  Like");
    return start == std::string::npos || end == std::string::npos ? line : line.substr(start + 2, end - start - 2);
}

TEST(OtherWaveFormats, ACopyInAnyFormatGivesTheOriginalsCommand)
{
    if (RunCommand("command -v sox >/dev/null").ExitCode != 0)
        GTEST_SKIP() << "sox is not installed";
    struct Format {
        const char* Name;
        const char* SoxOptions;
    };
    const Format formats[] = {
        {"44100 Hz stereo", "-r 44100 -c 2 -b 16"},
        {"48000 Hz 24-bit stereo", "-r 48000 -c 2 -b 24"},
        {"16000 Hz mono", "-r 16000 -c 1 -b 16"},
        {"44100 Hz 32-bit float", "-r 44100 -c 1 -e floating-point -b 32"},
        {"22050 Hz 32-bit integer", "-r 22050 -c 1 -b 32"},
    };
    TempDir dir;
    for (const auto& entry : fs::directory_iterator(PARLANTO_SOURCE_DIR "/examples")) {
        if (entry.path().extension() != ".wav")
            continue;
        const std::string original = entry.path().string();
        const std::string expected = CommandOf(RunCli("recognize --fresh " + original).Output);
        ASSERT_FALSE(expected.empty()) << original;
        for (const Format& format : formats) {
            SCOPED_TRACE(entry.path().filename().string() + ", " + format.Name);
            const std::string copy = dir.File("copy.wav");
            ASSERT_EQ(RunCommand("sox " + original + " " + format.SoxOptions + " " + copy + " 2>&1").ExitCode, 0);
            const TCliRun run = RunCli("recognize --fresh " + copy, true);
            EXPECT_EQ(run.ExitCode, 0) << run.Output;
            EXPECT_EQ(CommandOf(run.Output), expected) << run.Output;
        }
    }
}

}  // namespace
