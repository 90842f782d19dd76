// cmake --install into a scratch prefix, the programs run by a user who cannot write there: both answer with
// their version, and parlanto-cli makes the user's own models folder from the shipped models, saves a new
// command into it and recognizes it, leaving the shipped models as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "TempDir.h"
#include "WithoutRoot.h"

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
        // Readable for everyone, writable for its owner only, as under /usr.
        fs::permissions(prefix_->Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                             fs::perms::others_read | fs::perms::others_exec);
    }
    static void TearDownTestSuite()
    {
        delete prefix_;
        prefix_ = nullptr;
    }
    static std::string Program(const std::string& name) { return prefix_->File("bin/" + name); }

    // A folder the unprivileged user may write: its data home and its recordings.
    void SetUp() override { fs::permissions(user_.Path(), fs::perms::all); }
    // The command line run as the user, with its data home in the scratch folder; the exit status.
    int RunAsUser(const std::string& command) const
    {
        const std::string line = "HOME=" + user_.Dir() + " XDG_DATA_HOME=" + user_.File("data") + " " + command +
                                 " >" + user_.File("out.txt") + " 2>" + user_.File("errors.txt");
        return RunWithoutRoot([&] { return WEXITSTATUS(std::system(line.c_str())); });
    }
    // What the last run printed on standard output, and on standard error.
    std::string UserOutput() const { return user_.Read("out.txt"); }
    std::string UserErrors() const { return user_.Read("errors.txt"); }

    static TempDir* prefix_;
    TempDir user_;
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
        EXPECT_EQ(RunAsUser("QT_QPA_PLATFORM=offscreen " + Program(c.program) + " --version"), 0) << UserErrors();
        EXPECT_EQ(UserOutput(), c.version);
    }
}

TEST_F(Installed, AUserSavesACommandInTheirOwnFolderAndItIsRecognized)
{
    const std::string shipped = prefix_->File("share/parlanto/Models");
    ASSERT_TRUE(fs::exists(shipped + "/louder.vcm"));
    const auto shippedFiles = std::distance(fs::recursive_directory_iterator(shipped), {});
    fs::copy_file(PARLANTO_SOURCE_DIR "/examples/next.wav", user_.File("take.wav"));
    fs::permissions(user_.File("take.wav"), fs::perms::all);

    ASSERT_EQ(RunAsUser(Program("parlanto-cli") + " recognize " + user_.File("take.wav")), 0) << UserErrors();
    EXPECT_NE(UserOutput().find("NEXT"), std::string::npos) << "the shipped vocabulary: " << UserOutput();
    const std::string models = user_.File("data/parlanto/Models");
    EXPECT_TRUE(fs::exists(models + "/louder.vcm")) << "made from the shipped models on first start";

    ASSERT_EQ(RunAsUser(Program("parlanto-cli") + " enroll --models " + models + " --command lights " +
                        user_.File("take.wav")),
              0)
        << UserErrors();
    ASSERT_EQ(RunAsUser(Program("parlanto-cli") + " recognize " + user_.File("take.wav")), 0) << UserErrors();
    EXPECT_NE(UserOutput().find("LIGHTS"), std::string::npos) << UserOutput();
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(shipped), {}), shippedFiles);
}

}  // namespace
