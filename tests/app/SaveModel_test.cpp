#include "SaveModel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SovoDict.h"
#include "SovoError.h"
#include "TempDir.h"

namespace {

TEST(TrajectoryFileName, TrimsAndAppendsTheExtensionUnlessPresentInExactCase)
{
    const struct { const char* typed; const char* name; } cases[] = {
        {"  word \t", "word.trj"}, {"word.trj", "word.trj"}, {"word.TRJ", "word.TRJ.trj"}, {"abc", "abc.trj"},
        {"a b", "a b.trj"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrajectoryFileName(c.typed), c.name) << c.typed;
}

// A model folder with one command, OPEN (open.vcm listing Data/open1.trj), and a dictionary holding a
// last trajectory as after a recognition.
class SaveModel : public testing::Test {
protected:
    SaveModel()
    {
        dir.Write("open.vcm", kOpenVcm);
        std::filesystem::create_directories(dir.Path() / "Data");
        TCommandTraj stored;
        InitCommandTraj(stored, 1, 2);
        dictionary.Trajectory = stored;
        dictionary.Trajectory.Ids[0] = 7;
        dictionary.Trajectory.Rows[1][0] = 0.5;
        dictionary.SaveTrajectory(dir.Dir() + "Data/open1.trj");
        dictionary.LoadModels(dir.Dir(), "vcm");
    }

    static constexpr const char* kOpenVcm = "\r\n;File description of voice command\r\ncommand=open\r\nmodel=DATA\\open1.trj\r\n";
    TempDir dir;
    TTeskDictionary dictionary;
};

TEST_F(SaveModel, ExistingCommandGetsTheNewTrajectoryListedAndReloads)
{
    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "OPEN", " open2 ");
    EXPECT_TRUE(saved.DescriptionChanged);
    EXPECT_EQ(dir.Read("open.vcm"), std::string(kOpenVcm) + "\r\nmodel=DATA\\open2.trj\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / "Data" / "open2.trj"));
    ASSERT_EQ(dictionary.ModelCount(), 1);
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories.size(), 2u);
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories[1].Rows[1][0], 0.5);
}

TEST_F(SaveModel, TrajectoryListedAlreadyInAnyCaseOnlyRewritesTheTrajectory)
{
    const std::string listed = std::string(kOpenVcm) + "  MODEL=data\\OPEN3.TRJ \r\n";
    dictionary.SaveTrajectory(dir.Dir() + "Data/OPEN3.TRJ");
    dir.Write("open.vcm", listed);
    dictionary.LoadModels(dir.Dir(), "vcm");
    dictionary.Trajectory.Rows[1][0] = 0.25;

    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "OPEN", "open3.trj");
    EXPECT_FALSE(saved.DescriptionChanged);
    EXPECT_EQ(dir.Read("open.vcm"), listed);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Data" / "open3.trj"));
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories[1].Rows[1][0], 0.25);
}

TEST_F(SaveModel, NewCommandCreatesItsDescription)
{
    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "Stop now", "stop1");
    EXPECT_EQ(dir.Read("Stop now.vcm"),
              "\r\n;File description of voice command\r\ncommand=Stop now\r\nmodel=DATA\\stop1.trj\r\n");
    EXPECT_EQ(dictionary.ModelCount(), 2);
    EXPECT_EQ(dir.Read("open.vcm"), kOpenVcm);
    EXPECT_TRUE(saved.DescriptionChanged);
}

TEST_F(SaveModel, NameDifferingOnlyInCaseIsANewCommandButNeverReplacesAnExistingDescription)
{
    SaveLastCommandAsModel(dictionary, dir.Dir(), "Open", "x1");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "Open.vcm"));
    EXPECT_EQ(dir.Read("open.vcm"), kOpenVcm);

    // "open" names no command (the command is OPEN), but open.vcm exists: its examples stay.
    SaveLastCommandAsModel(dictionary, dir.Dir(), "open", "x2");
    EXPECT_EQ(dir.Read("open.vcm"), std::string(kOpenVcm) + "\r\nmodel=DATA\\x2.trj\r\n");
}

TEST_F(SaveModel, TrajectoryThatCannotBeWrittenLeavesTheDescriptionsAlone)
{
    std::filesystem::create_directories(dir.Path() / "Data" / "blocked.trj");   // a folder where the file would go
    EXPECT_THROW(SaveLastCommandAsModel(dictionary, dir.Dir(), "OPEN", "blocked"), ESovoError);
    EXPECT_EQ(dir.Read("open.vcm"), kOpenVcm);
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories.size(), 1u);
}

TEST_F(SaveModel, NamesThatWouldWriteElsewhereAreRefusedBeforeAnythingIsWritten)
{
    const struct { const char* command; const char* trajectory; } cases[] = {
        {"../evil", "x1"}, {"a/b", "x1"}, {"a\\b", "x1"}, {"tab\there", "x1"}, {"", "x1"},
        {"GOOD", "../x1"}, {"GOOD", "sub/x1"}, {"GOOD", "..\\x1"}, {"GOOD", "x\n1"},
    };
    const auto before = std::distance(std::filesystem::recursive_directory_iterator(dir.Path()), {});
    for (const auto& c : cases) {
        EXPECT_THROW(SaveLastCommandAsModel(dictionary, dir.Dir(), c.command, c.trajectory), ESovoError)
            << c.command << " / " << c.trajectory;
    }
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.Path()), {}), before);
    EXPECT_FALSE(std::filesystem::exists(dir.Path().parent_path() / "evil.vcm"));
}

TEST_F(SaveModel, FreshFolderGetsItsDataFolder)
{
    TempDir fresh;
    SaveLastCommandAsModel(dictionary, fresh.Dir(), "GO", "go1");
    EXPECT_TRUE(std::filesystem::is_regular_file(fresh.Path() / "Data" / "go1.trj"));
    EXPECT_TRUE(std::filesystem::is_regular_file(fresh.Path() / "GO.vcm"));
}

}  // namespace
