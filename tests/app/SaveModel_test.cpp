#include "SaveModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "SovoDict.h"
#include "SovoError.h"
#include "FileSizeLimit.h"
#include "TempDir.h"
#include "WithoutRoot.h"

namespace {

namespace fs = std::filesystem;

// Every file below dir with its bytes.
std::map<std::string, std::string> Snapshot(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir.Path())) {
        if (entry.is_regular_file()) {
            const std::string name = entry.path().lexically_relative(dir.Path()).string();
            files[name] = dir.Read(name);
        }
    }
    return files;
}

// Write permission taken from (or given back to) the folder and everything in it; others may read it.
void SetWritable(const TempDir& dir, bool writable)
{
    const fs::perms readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms enterable = readable | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    const fs::perms write = writable ? fs::perms::owner_write : fs::perms::none;
    fs::permissions(dir.Path(), enterable | write);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir.Path()))
        fs::permissions(entry.path(), (entry.is_directory() ? enterable : readable) | write);
}

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

TEST_F(SaveModel, ExistingCommandGetsTheNewTrajectoryListed)
{
    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "OPEN", " open2 ");
    EXPECT_TRUE(saved.DescriptionChanged);
    EXPECT_EQ(dir.Read("open.vcm"), std::string(kOpenVcm) + "\r\nmodel=DATA\\open2.trj\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / "Data" / "open2.trj"));
    dictionary.LoadModels(dir.Dir(), "vcm");
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
    dictionary.LoadModels(dir.Dir(), "vcm");
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories[1].Rows[1][0], 0.25);
}

TEST_F(SaveModel, NewCommandCreatesItsDescription)
{
    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "Stop now", "stop1");
    EXPECT_EQ(dir.Read("Stop now.vcm"),
              "\r\n;File description of voice command\r\ncommand=Stop now\r\nmodel=DATA\\stop1.trj\r\n");
    dictionary.LoadModels(dir.Dir(), "vcm");
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

// A new command whose description file exists already: the example joins it when it describes the same
// command, whatever the letter case; when it describes another, the example would go to that command
// unseen, so the save is refused and nothing is written.
TEST_F(SaveModel, ExistingDescriptionOfANewNameTakesTheExampleOnlyForTheSameCommand)
{
    const struct {
        const char* typed;
        const char* file;
        std::string text;
        const char* otherCommand;   // nullptr: the example is added
    } cases[] = {
        {"close", "close.vcm", "command=shut\r\n", "SHUT"},
        {"close", "close.vcm", "; no command line: named after its file\r\n", "close.vcm"},
        {"close", "close.vcm", "command=shut\r\ncommand=Close\r\n", nullptr},   // the last line names it
        {"Stop now", "Stop now.vcm", "command = STOPNOW\r\n", nullptr},
    };
    for (const auto& c : cases) {
        TempDir folder;
        folder.Write(c.file, c.text);
        const std::map<std::string, std::string> before = Snapshot(folder);
        if (c.otherCommand != nullptr) {
            try {
                SaveLastCommandAsModel(dictionary, folder.Dir(), c.typed, "take1");
                ADD_FAILURE() << c.typed << " / " << c.text << ": saved";
            } catch (const ESovoError& e) {
                EXPECT_EQ(e.what(), "Файл '" + folder.Dir() + c.file + "' описывает другую команду '" +
                                        c.otherCommand + "'");
            }
            EXPECT_EQ(Snapshot(folder), before) << c.text;
            EXPECT_FALSE(fs::exists(folder.Path() / "Data")) << c.text;
            continue;
        }
        const TSavedModel saved = SaveLastCommandAsModel(dictionary, folder.Dir(), c.typed, "take1");
        EXPECT_EQ(saved.DescriptionFile, folder.Dir() + c.file);
        EXPECT_EQ(folder.Read(c.file), c.text + "\r\nmodel=DATA\\take1.trj\r\n");
    }
}

// A description that cannot be read is named as such, before the trajectory is written.
TEST_F(SaveModel, UnreadableDescriptionIsAReadErrorAndNothingIsWritten)
{
    const struct { const char* command; const char* description; } cases[] = {
        {"OPEN", "open.vcm"},     // the picked command's description is gone, a folder in its place
        {"NEW", "NEW.vcm"},       // the new command's description name is taken by a folder
    };
    for (const auto& c : cases) {
        fs::remove(dir.Path() / c.description);
        fs::create_directories(dir.Path() / c.description);
        const std::map<std::string, std::string> before = Snapshot(dir);
        try {
            SaveLastCommandAsModel(dictionary, dir.Dir(), c.command, "take1");
            ADD_FAILURE() << c.command << ": saved";
        } catch (const ESovoError& e) {
            EXPECT_EQ(e.what(), "Ошибка чтения файла '" + dir.Dir() + c.description + "'");
        }
        EXPECT_EQ(Snapshot(dir), before) << c.command;
    }
}

TEST_F(SaveModel, TrajectoryThatCannotBeWrittenLeavesTheDescriptionsAlone)
{
    std::filesystem::create_directories(dir.Path() / "Data" / "blocked.trj");   // a folder where the file would go
    EXPECT_THROW(SaveLastCommandAsModel(dictionary, dir.Dir(), "OPEN", "blocked"), ESovoError);
    EXPECT_EQ(dir.Read("open.vcm"), kOpenVcm);
    EXPECT_EQ(dictionary.GetModel(0)->Trajectories.size(), 1u);
}

struct TSaveCase { const char* command; const char* trajectory; };
const TSaveCase kSaveCases[] = {
    {"OPEN", "open2"},   // a new example of a command
    {"OPEN", "open1"},   // an example saved again under its name
    {"NEW", "new1"},     // a new command
};

TEST_F(SaveModel, ReadOnlyFolderKeepsEveryModelFileAndSaysSo)
{
    const std::map<std::string, std::string> before = Snapshot(dir);
    SetWritable(dir, false);
    for (const TSaveCase& c : kSaveCases) {
        const int outcome = RunWithoutRoot([&] {
            try {
                SaveLastCommandAsModel(dictionary, dir.Dir(), c.command, c.trajectory);
                return 1;
            } catch (const ESovoError&) {
                return 0;
            }
        });
        EXPECT_EQ(outcome, 0) << c.command << " / " << c.trajectory << ": 1 means saved, other codes a crash";
    }
    SetWritable(dir, true);
    EXPECT_EQ(Snapshot(dir), before);
}

// The disk fills up after the small trajectory: the description's new line must not be cut half-way, or the
// folder would no longer load.
TEST_F(SaveModel, FullDiskLeavesEveryDescriptionWhole)
{
    dir.Write("open.vcm", std::string(kOpenVcm) + ";" + std::string(200, '-') + "\r\n");
    const std::string openBefore = dir.Read("open.vcm");
    // Room for a few more bytes of the description, or for a new description's first line.
    const struct { TSaveCase save; rlim_t limit; } cases[] = {
        {kSaveCases[0], openBefore.size() + 5},
        {kSaveCases[2], 50},
    };
    for (const auto& c : cases) {
        const TFileSizeLimit limit(c.limit);
        EXPECT_THROW(SaveLastCommandAsModel(dictionary, dir.Dir(), c.save.command, c.save.trajectory), ESovoError)
            << c.save.command;
    }
    EXPECT_EQ(dir.Read("open.vcm"), openBefore);
    EXPECT_FALSE(fs::exists(dir.Path() / "NEW.vcm"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);   // open.vcm and Data, no leftovers
    EXPECT_NO_THROW(dictionary.LoadModels(dir.Dir(), "vcm"));
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

// Dots are refused only as the name "..": inside a name they lead nowhere.
TEST_F(SaveModel, NamesWithDotsAreSaved)
{
    EXPECT_FALSE(IsValidModelFileName(".."));
    const TSavedModel saved = SaveLastCommandAsModel(dictionary, dir.Dir(), "Mr. X...", "take..2");
    EXPECT_EQ(saved.TrajectoryFile, dir.Dir() + "Data/take..2.trj");
    EXPECT_TRUE(fs::is_regular_file(saved.TrajectoryFile));
    EXPECT_EQ(dir.Read("Mr. X....vcm"),
              "\r\n;File description of voice command\r\ncommand=Mr. X...\r\nmodel=DATA\\take..2.trj\r\n");
}

TEST_F(SaveModel, FreshFolderGetsItsDataFolder)
{
    TempDir fresh;
    SaveLastCommandAsModel(dictionary, fresh.Dir(), "GO", "go1");
    EXPECT_TRUE(std::filesystem::is_regular_file(fresh.Path() / "Data" / "go1.trj"));
    EXPECT_TRUE(std::filesystem::is_regular_file(fresh.Path() / "GO.vcm"));
}

}  // namespace
