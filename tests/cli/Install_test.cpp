// cmake --install into a scratch prefix: both programs answer from bin/ with their version, and the installed
// command line finds the installed models through its link and recognizes an example with them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRun.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new TempDir;
        const TCliRun install = RunCommand(std::string(PARLANTO_CMAKE) + " --install " PARLANTO_BINARY_DIR
                                           " --prefix " + prefix_->Path().string() + " 2>&1");
        ASSERT_EQ(install.ExitCode, 0) << install.Output;
    }
    static void TearDownTestSuite()
    {
        delete prefix_;
        prefix_ = nullptr;
    }
    static std::string Program(const std::string& name) { return prefix_->File("bin/" + name); }

    static TempDir* prefix_;
};

TempDir* Installed::prefix_ = nullptr;

TEST_F(Installed, EachProgramOnBinPrintsItsVersion)
{
    struct Case {
        std::string program;
        std::string version;
    };
    std::vector<Case> cases = {{"parlanto-cli", "parlanto-cli " PARLANTO_VERSION "\n"}};
#ifdef PARLANTO_WINDOW
    cases.push_back({"parlanto", "parlanto " PARLANTO_VERSION "\n"});
#endif
    for (const Case& c : cases) {
        ASSERT_TRUE(fs::is_symlink(Program(c.program))) << c.program;
        const TCliRun run = RunCommand("QT_QPA_PLATFORM=offscreen " + Program(c.program) + " --version");
        EXPECT_EQ(run.ExitCode, 0) << c.program;
        EXPECT_EQ(run.Output, c.version);
    }
}

TEST_F(Installed, CommandLineRecognizesAnExampleWithTheInstalledModels)
{
    const TCliRun run = RunCommand(Program("parlanto-cli") + " recognize " PARLANTO_SOURCE_DIR "/examples/louder.wav 2>&1");
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_NE(run.Output.find("LOUDER"), std::string::npos) << run.Output;
}

}  // namespace
