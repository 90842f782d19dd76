// parlanto-cli recognize with files it cannot read among good ones: each one is named with its reason, the others
// are still recognized in order, and the exit status says that not every file was read.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "CliRun.h"
#include "TempDir.h"

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct TSplitRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

TSplitRun Recognize(const TempDir& dir, const std::string& options, const std::string& files)
{
    const std::string errors = dir.Dir() + "stderr.txt";
    const TCliRun run = RunCommand(std::string(PARLANTO_CLI) + " recognize --fresh --models " + kGolden + "/models " +
                                   options + " " + files + " 2>" + errors);
    return {run.ExitCode, run.Output, ReadAll(errors)};
}

class UnreadableFiles : public testing::Test {
protected:
    TempDir dir;
    const std::string missing = dir.Dir() + "missing.wav";
    const std::string notWav = dir.Write("notes.wav", "this is no RIFF file at all\n");
    const std::string files = kGolden + "/wav/open_test1.wav " + missing + " " + notWav + " " + kGolden +
                              "/wav/stop_test1.wav";
};

TEST_F(UnreadableFiles, EachIsNamedAndTheOthersAreStillRecognized)
{
    const TSplitRun run = Recognize(dir, "", files);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(std::regex_search(run.Out, std::regex(R"(open_test1.wav: OPEN  Like .*\n.*stop_test1.wav: STOP  Like )")))
        << run.Out;
    EXPECT_EQ(run.Out.find("missing.wav"), std::string::npos) << run.Out;
    EXPECT_NE(run.Err.find(missing + ": "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find(notWav + ": "), std::string::npos) << run.Err;
}

TEST_F(UnreadableFiles, TheJsonArrayHoldsEveryFileWithTheErrorOfEachUnreadableOne)
{
    const TSplitRun run = Recognize(dir, "--json", files);
    EXPECT_EQ(run.ExitCode, 1);
    const std::regex entry(R"re(\{"file": "[^"]*/(\w+)\.wav", "recognized": (\w+), "(command|error)")re");
    std::string entries;
    for (auto it = std::sregex_iterator(run.Out.begin(), run.Out.end(), entry); it != std::sregex_iterator(); ++it)
        entries += (*it)[1].str() + "=" + (*it)[3].str() + " ";
    EXPECT_EQ(entries, "open_test1=command missing=error notes=error stop_test1=command ") << run.Out;
    EXPECT_EQ(run.Out.substr(0, 2), "[\n");
    EXPECT_EQ(run.Out.substr(run.Out.size() - 3), "\n]\n");
}

TEST_F(UnreadableFiles, AllGoodFilesExitZero)
{
    EXPECT_EQ(Recognize(dir, "", kGolden + "/wav/open_test1.wav").ExitCode, 0);
}

}  // namespace
