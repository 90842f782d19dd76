// Where a program's models are: beside it in the build tree, the user's own folder (made from the shipped
// models once) when it is installed, the shipped ones when the user's cannot be made.
#include "UserModels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "WithoutRoot.h"

namespace {

namespace fs = std::filesystem;

// An installed layout: P/bin/ holding the programs, P/share/parlanto/Models the shipped models.
struct Installation {
    TempDir Prefix;
    Installation()
    {
        fs::create_directories(Prefix.Path() / "bin");
        Prefix.Write("share/parlanto/Models/u01.phm", "shipped phoneme");
        Prefix.Write("share/parlanto/Models/Data/u01_1.bin", "shipped template");
    }
    std::string ProgramDir() const { return Prefix.Dir() + "bin/"; }
    std::string ShippedHome() const { return Prefix.Dir() + "share/parlanto/"; }
};

TEST(ModelsHome, ModelsBesideTheProgramAreUsedAsTheyAre)
{
    Installation installed;
    installed.Prefix.Write("bin/Models/own.vcm", "beside");
    TempDir data;
    EXPECT_EQ(ModelsHome(installed.ProgramDir(), data.Path().string()), installed.ProgramDir());
    EXPECT_TRUE(fs::is_empty(data.Path())) << "no user folder is made";

    TempDir bare;
    EXPECT_EQ(ModelsHome(bare.Dir(), data.Path().string()), bare.Dir()) << "no models anywhere: beside, as ever";
}

TEST(ModelsHome, AnInstalledProgramMakesTheUsersFolderOnceFromTheShippedModels)
{
    Installation installed;
    TempDir data;
    const std::string home = data.Dir() + "parlanto/";
    EXPECT_EQ(ModelsHome(installed.ProgramDir(), data.Path().string()), home);
    EXPECT_EQ(data.Read("parlanto/Models/u01.phm"), "shipped phoneme");
    EXPECT_EQ(data.Read("parlanto/Models/Data/u01_1.bin"), "shipped template");

    // The user's own changes stay: the folder is not made again.
    data.Write("parlanto/Models/lights.vcm", "saved");
    data.Write("parlanto/Models/u01.phm", "changed");
    EXPECT_EQ(ModelsHome(installed.ProgramDir(), data.Path().string()), home);
    EXPECT_EQ(data.Read("parlanto/Models/u01.phm"), "changed");
    EXPECT_EQ(data.Read("parlanto/Models/lights.vcm"), "saved");
    for (const auto& entry : fs::directory_iterator(data.Dir() + "parlanto"))
        EXPECT_EQ(entry.path().filename(), "Models") << "no half-made copy is left";
}

// Sets every folder under and including root to folderMode and every file to fileMode.
void SetModes(const fs::path& root, fs::perms folderMode, fs::perms fileMode)
{
    fs::permissions(root, folderMode);
    for (const auto& entry : fs::recursive_directory_iterator(root))
        fs::permissions(entry.path(), entry.is_directory() ? folderMode : fileMode);
}

// Shipped models installed read-only become the user's to change: saving a take adds a file and rewrites a
// command's description.
TEST(ModelsHome, TheUsersCopyOfReadOnlyModelsIsTheirsToWrite)
{
    using enum fs::perms;
    Installation installed;
    SetModes(installed.Prefix.Path(), owner_read | owner_exec | group_read | group_exec | others_read | others_exec,
             owner_read | group_read | others_read);
    TempDir data;
    fs::permissions(data.Path(), all);
    const std::string home = data.Dir() + "parlanto/";
    const int status = RunWithoutRoot([&] {
        if (ModelsHome(installed.ProgramDir(), data.Path().string()) != home)
            return 1;
        std::ofstream description(home + "Models/u01.phm", std::ios::app);
        std::ofstream take(home + "Models/Data/u01_2.bin");
        return description && take ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << "1: no copy made, 2: the copy cannot be written";
    EXPECT_EQ(fs::status(installed.ShippedHome() + "Models/u01.phm").permissions() & owner_write, none)
        << "the shipped models stay as installed";
    SetModes(installed.Prefix.Path(), owner_all, owner_read | owner_write);   // for the clean-up
}

TEST(ModelsHome, WithoutAUsableDataHomeTheShippedModelsServe)
{
    Installation installed;
    EXPECT_EQ(ModelsHome(installed.ProgramDir(), ""), installed.ShippedHome());

    // A data home the user cannot write: recognition still works on the shipped models.
    TempDir locked;
    fs::permissions(locked.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    fs::permissions(installed.Prefix.Path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const std::string expected = installed.ShippedHome();
    EXPECT_EQ(RunWithoutRoot([&] { return ModelsHome(installed.ProgramDir(), locked.Path().string()) == expected ? 0 : 1; }),
              0);
}

TEST(UserDataHome, TheXdgFolderWhenAbsoluteElseTheHomesLocalShare)
{
    struct Case {
        const char* Xdg;     // nullptr: unset
        const char* Home;
        std::string Expected;
    };
    const Case cases[] = {
        {"/data/user", "/home/u", "/data/user"},
        {nullptr, "/home/u", "/home/u/.local/share"},
        {"relative/dir", "/home/u", "/home/u/.local/share"},
        {nullptr, nullptr, ""},
    };
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdgBefore = savedXdg ? savedXdg : "";
    const std::string homeBefore = savedHome ? savedHome : "";
    for (const Case& c : cases) {
        c.Xdg ? ::setenv("XDG_DATA_HOME", c.Xdg, 1) : ::unsetenv("XDG_DATA_HOME");
        c.Home ? ::setenv("HOME", c.Home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(UserDataHome(), c.Expected) << (c.Xdg ? c.Xdg : "unset");
    }
    savedXdg ? ::setenv("XDG_DATA_HOME", xdgBefore.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome ? ::setenv("HOME", homeBefore.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
