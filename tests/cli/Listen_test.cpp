// parlanto-cli listen on a file: one JSON line per command spoken in it, in order and where it was spoken;
// the knock between two commands is none.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"
#include "SpokenCommands.h"
#include "TempDir.h"

namespace {

const std::string kModels = std::string(PARLANTO_GOLDEN_DIR) + "/models/";

struct Line {
    double Start = 0.0;
    double End = 0.0;
    std::string Command;
    bool Accepted = false;
};

std::vector<Line> Lines(const std::string& output)
{
    const std::regex line(R"re(\{"start": ([0-9.]+), "end": ([0-9.]+), "command": "([^"]*)", "like": [-0-9.e]+, )re"
                          R"re("distance": [-0-9.e]+, "accepted": (true|false)\})re");
    std::vector<Line> lines;
    std::istringstream in(output);
    std::string text;
    while (std::getline(in, text)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(text, match, line)) << text;
        if (!match.empty())
            lines.push_back({std::stod(match[1]), std::stod(match[2]), match[3], match[4] == "true"});
    }
    return lines;
}

TEST(Listen, EachCommandSpokenInAFileIsOneLineInOrderAndInPlace)
{
    TempDir dir;
    const TSpokenCommands spoken = SpokenCommands();
    const TCliRun run = RunCli("listen --models " + kModels + " " + dir.WriteWav("room.wav", spoken.Samples));
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    const std::vector<Line> lines = Lines(run.Output);
    ASSERT_EQ(lines.size(), spoken.Commands.size()) << run.Output;
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(spoken.Commands[i].Command);
        EXPECT_EQ(lines[i].Command, spoken.Commands[i].Command);
        EXPECT_TRUE(lines[i].Accepted);
        EXPECT_GE(lines[i].Start, spoken.Commands[i].Start - 0.02);
        EXPECT_LE(lines[i].End, spoken.Commands[i].End + 0.02);
        EXPECT_LT(lines[i].Start, lines[i].End);
    }
}

TEST(Listen, WantsEitherTheMicrophoneOrOneFile)
{
    for (const char* arguments : {"listen", "listen --microphone a.wav", "listen a.wav b.wav", "listen --match x a.wav"}) {
        const TCliRun run = RunCli(arguments, true);
        EXPECT_EQ(run.ExitCode, 2) << arguments << ": " << run.Output;
    }
}

}  // namespace
