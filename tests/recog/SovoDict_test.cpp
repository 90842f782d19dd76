#include "SovoDict.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "FileSizeLimit.h"
#include "MessageOf.h"
#include "ModelFolder.h"
#include "SovoError.h"
#include "TrajectoryMaker.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint64_t> Bits(const std::vector<double>& row)
{
    std::vector<uint64_t> bits;
    for (const double value : row)
        bits.push_back(std::bit_cast<uint64_t>(value));
    return bits;
}

void ExpectSameTrajectory(const TCommandTraj& actual, const TCommandTraj& expected)
{
    EXPECT_EQ(actual.PhonemeCount, expected.PhonemeCount);
    EXPECT_EQ(actual.AtomCount, expected.AtomCount);
    EXPECT_EQ(actual.Ids, expected.Ids);
    EXPECT_EQ(actual.Names, expected.Names);
    ASSERT_EQ(actual.Rows.size(), expected.Rows.size());
    for (size_t j = 0; j < expected.Rows.size(); ++j)
        EXPECT_EQ(Bits(actual.Rows[j]), Bits(expected.Rows[j])) << "row " << j;
}

const TCommandTraj kRising = Series(1, {0.1, 0.2, 0.4, 0.8});
const TCommandTraj kFalling = Series(1, {0.8, 0.4, 0.2, 0.1});

class CommandFile : public ::testing::Test {
protected:
    CommandFile()
    {
        folder.MakeDirectory("Models/Data");
        WriteTrajectory(folder.Path("Models/Data/t1.trj"), kRising);
        WriteTrajectory(folder.Path("Models/Data/T2.trj"), kFalling);
    }

    TVoiceCommandModel Load(const std::string& name, const std::string& text)
    {
        folder.WriteText("Models/" + name, text);
        TVoiceCommandModel model;
        model.Load(folder.Path("Models/" + name));
        return model;
    }

    TModelFolder folder;
};

TEST_F(CommandFile, LinesNameTheCommandAndItsTrajectories)
{
    struct Case {
        const char* what;
        std::string fileName;
        std::string text;
        std::string name;
        std::vector<std::string> modelFiles;
        std::vector<TCommandTraj> trajectories;
    };
    const Case cases[] = {
        {"no COMMAND line: the file name as it is", "Open Door.Vcm", "model=DATA\\t1.trj\r\n", "Open Door.Vcm",
         {"DATA\\T1.TRJ"}, {kRising}},
        {"lower-case command with spaces", "a.vcm", "  command = op en \r\n", "OPEN", {}, {}},
        {"only ASCII letters change case", "a.vcm", "command=дверь\r\n", "дверь", {}, {}},
        {"as the window writes it", "close.vcm",
         "\r\n;File description of voice command\r\ncommand=close\r\nmodel=DATA\\t1.trj\r\n\r\nmodel = data/t2.TRJ\r\n",
         "CLOSE", {"DATA\\T1.TRJ", "DATA/T2.TRJ"}, {kRising, kFalling}},
        {"a later COMMAND wins", "a.vcm", "COMMAND=A\nCOMMAND=B\n", "B", {}, {}},
    };
    for (const Case& c : cases) {
        const TVoiceCommandModel model = Load(c.fileName, c.text);
        EXPECT_EQ(model.Name, c.name) << c.what;
        EXPECT_EQ(model.FileName, folder.Path("Models/" + c.fileName)) << c.what;
        EXPECT_EQ(model.ModelFiles, c.modelFiles) << c.what;
        ASSERT_EQ(model.Trajectories.size(), c.trajectories.size()) << c.what;
        for (size_t i = 0; i < c.trajectories.size(); ++i)
            ExpectSameTrajectory(model.Trajectories[i], c.trajectories[i]);
    }
}

TEST_F(CommandFile, LoadingAgainReplacesTheTrajectories)
{
    TVoiceCommandModel model = Load("a.vcm", "model=data\\t1.trj\nmodel=data\\t2.trj\n");
    folder.WriteText("Models/b.vcm", "model=data\\t2.trj\n");
    model.Load(folder.Path("Models\\") + "b.vcm");
    EXPECT_EQ(model.Name, "b.vcm");
    EXPECT_EQ(model.ModelFiles, std::vector<std::string>{"DATA\\T2.TRJ"});
    ASSERT_EQ(model.Trajectories.size(), 1u);
    ExpectSameTrajectory(model.Trajectories[0], kFalling);
}

TEST_F(CommandFile, FaultsNameTheLineOrTheFile)
{
    const std::string vcm = folder.Path("Models/a.vcm");
    struct Case { std::string text; std::string message; };
    const Case cases[] = {
        {"Commnd = x\r\n", "Не понял строку 'COMMND=X' В файле '" + vcm + "'"},
        {"command=a\r\nmodels=data\\t1.trj\r\n", "Не понял строку 'MODELS=DATA\\T1.TRJ' В файле '" + vcm + "'"},
        {"model=DATA\\none.trj\r\n", "Не могу открыть файл '" + folder.Path("Models/") + "DATA\\NONE.TRJ'"},
        {"model=DATA\r\n", "Не могу открыть файл '" + folder.Path("Models/") + "DATA'"},
        // Trajectories outside the description's folder are never looked up.
        {"model=..\\..\\etc\\passwd\r\n", "Не понял строку 'MODEL=..\\..\\ETC\\PASSWD' В файле '" + vcm + "'"},
        {"model=DATA\\..\\..\\a.trj\r\n", "Не понял строку 'MODEL=DATA\\..\\..\\A.TRJ' В файле '" + vcm + "'"},
        {"model=\\\\server\\x.trj\r\n", "Не понял строку 'MODEL=\\\\SERVER\\X.TRJ' В файле '" + vcm + "'"},
        {"model=c:\\x.trj\r\n", "Не понял строку 'MODEL=C:\\X.TRJ' В файле '" + vcm + "'"},
    };
    for (const Case& c : cases) {
        folder.WriteText("Models/a.vcm", c.text);
        TVoiceCommandModel model;
        EXPECT_EQ(MessageOf([&] { model.Load(vcm); }), c.message) << c.text;
    }
    TVoiceCommandModel model;
    EXPECT_EQ(MessageOf([&] { model.Load(folder.Path("Models/none.vcm")); }),
              "Не могу открыть файл '" + folder.Path("Models/none.vcm") + "'");
}

TEST(TrajectoryFile, LayoutIsLittleEndianCountsIdsNamesAndRows)
{
    TModelFolder folder;
    TCommandTraj traj = MakeTraj({0x01020304}, {{1.0}, {-2.0}});
    traj.Names[0] = MakePhonemeName("ab");
    WriteTrajectory(folder.Path("t.trj"), traj);
    const std::vector<uint8_t> expected = {
        1, 0, 0, 0,   2, 0, 0, 0,   4, 3, 2, 1,   'a', 'b', 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F,   0, 0, 0, 0, 0, 0, 0, 0xC0,
    };
    EXPECT_EQ(ReadAllBytes(folder.Path("t.trj")), expected);
}

TEST(TrajectoryFile, WhatIsSavedLoadsBackFieldByField)
{
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    TModelFolder folder;
    folder.MakeDirectory("Data");
    TCommandTraj traj = MakeTraj({7, -1, 2147483647},
                                 {{0.0, -0.0, 1.0 / 3.0},
                                  {std::numeric_limits<double>::denorm_min(), -1e300, 0.5},
                                  {kInfinity, std::numeric_limits<double>::quiet_NaN(), 1.0},
                                  {0.25, 0.75, 2.0}});
    traj.Names = {MakePhonemeName("abcdefgh"), MakePhonemeName("\xD0\xB0"), MakePhonemeName("")};
    folder.WriteText("Data/u.trj", std::string(1000, 'x'));   // an older, longer file is replaced
    for (const std::string& name : {folder.Path("Data/u.trj"), folder.Path("data\\U.TRJ")}) {
        WriteTrajectory(name, traj);
        EXPECT_EQ(fs::file_size(folder.Path("Data/u.trj")), 8u + 10u * 3 + 8u * 3 * 4);
        TVoiceCommandModel model;
        TCommandTraj loaded = MakeTraj({1}, {{9.0}});   // whatever it held is replaced
        model.LoadTrajectory(name, loaded);
        ExpectSameTrajectory(loaded, traj);
    }

    // An empty trajectory is a header only; bytes behind the last row are ignored.
    WriteTrajectory(folder.Path("empty.trj"), TCommandTraj{});
    EXPECT_EQ(ReadAllBytes(folder.Path("empty.trj")), std::vector<uint8_t>(8, 0));
    std::vector<uint8_t> padded = ReadAllBytes(folder.Path("Data/u.trj"));
    padded.resize(padded.size() + 5, 0xAB);
    folder.WriteBytes("padded.trj", padded);
    TVoiceCommandModel model;
    TCommandTraj loaded;
    model.LoadTrajectory(folder.Path("padded.trj"), loaded);
    ExpectSameTrajectory(loaded, traj);
}

std::vector<uint8_t> Header(int32_t phonemeCount, int32_t atomCount, size_t payloadBytes)
{
    std::vector<uint8_t> bytes(8 + payloadBytes, 0);
    std::memcpy(bytes.data(), &phonemeCount, 4);   // the build host is little-endian, as the format
    std::memcpy(bytes.data() + 4, &atomCount, 4);
    return bytes;
}

TEST(TrajectoryFile, DamagedOrAbsurdHeadersAreReadErrors)
{
    TModelFolder folder;
    struct Case { const char* what; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty file", {}},
        {"half a header", {1, 0, 0, 0, 1}},
        {"negative phoneme count", Header(-1, 0, 100)},
        {"negative atom count", Header(1, -1, 100)},
        {"huge phoneme count", Header(0x7FFFFFFF, 1, 100)},
        {"huge atom count", Header(2, 0x7FFFFFFF, 20 + 16)},
        {"10 x N beyond 32 bits", Header(0x40000000, 4, 0)},
        {"8 x N x M beyond 32 bits", Header(65536, 65536, 655360)},
        {"rows without columns", Header(0, 1000000000, 0)},
        {"one row short", Header(1, 2, 10 + 8)},
        {"one name byte short", Header(3, 0, 29)},
    };
    for (const Case& c : cases) {
        folder.WriteBytes("bad.trj", c.bytes);
        TVoiceCommandModel model;
        TCommandTraj traj;
        EXPECT_EQ(MessageOf([&] { model.LoadTrajectory(folder.Path("bad.trj"), traj); }),
                  "Ошибка чтения файла '" + folder.Path("bad.trj") + "'")
            << c.what;
    }
}

// Sparse files: the file system gives gigabytes of zeros without storing them.
TEST(TrajectoryFile, HugeFilesAreReadOnlyAsFarAsASensibleHeaderDescribes)
{
    TModelFolder folder;
    const std::string name = folder.Path("huge.trj");
    WriteTrajectory(name, MakeTraj({5}, {{0.25}, {0.5}}));
    std::filesystem::resize_file(name, uintmax_t{4} << 30);
    TVoiceCommandModel model;
    TCommandTraj traj;
    model.LoadTrajectory(name, traj);
    EXPECT_EQ(traj.Rows, (std::vector<std::vector<double>>{{0.25}, {0.5}}));

    // A header asking for a gigabyte of scores is refused before anything is read, file big enough or not.
    folder.WriteBytes("huge.trj", Header(64, 2 << 20, 0));
    std::filesystem::resize_file(name, uintmax_t{4} << 30);
    EXPECT_EQ(MessageOf([&] { model.LoadTrajectory(name, traj); }), "Ошибка чтения файла '" + name + "'");
}

TEST(TrajectoryFile, WhatIsNotARegularFileCannotBeOpened)
{
    TModelFolder folder;
    folder.MakeDirectory("Data/dir.trj");
    folder.MakeFifo("Data/pipe.trj");
    for (const std::string& name : {folder.Path("Data/none.trj"), folder.Path("Data/dir.trj"),
                                    folder.Path("Data/pipe.trj")}) {
        TVoiceCommandModel model;
        TCommandTraj traj;
        EXPECT_EQ(MessageOf([&] { model.LoadTrajectory(name, traj); }), "Не могу открыть файл '" + name + "'");
    }
}

TEST(TrajectoryFile, SavingReportsCreationAndWriteFailures)
{
    TModelFolder folder;
    folder.MakeDirectory("Data/dir.trj");
    folder.MakeFifo("Data/pipe.trj");
    TTeskDictionary dictionary;
    dictionary.Trajectory = MakeTraj({1, 2}, {{0.1, 0.2}, {0.3, 0.4}, {0.5, 0.6}});
    for (const std::string& name : {folder.Path("Data/dir.trj"), folder.Path("Data/pipe.trj"),
                                    folder.Path("Absent/x.trj")})
        EXPECT_EQ(MessageOf([&] { dictionary.SaveTrajectory(name); }), "Ошибка создания файла '" + name + "'");
    EXPECT_TRUE(fs::is_directory(folder.Path("Data/dir.trj")));

    // A write that fails half-way keeps the trajectory saved before, and leaves no partial file.
    const std::string name = folder.Path("Data/full.trj");
    folder.WriteText("Data/full.trj", "saved before");
    std::string message;
    {
        const TFileSizeLimit limit(16);
        message = MessageOf([&] { dictionary.SaveTrajectory(name); });
    }
    EXPECT_EQ(message, "Ошибка записи в файл '" + name + "'");
    EXPECT_EQ(fs::file_size(name), std::string("saved before").size());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path("Data")), fs::directory_iterator()), 3);
}

TEST(CommandScore, ShorterSeriesIsCentredInTheLongerOne)
{
    // Elements 2..7 of the ten rise like the six; any other pairing would not correlate fully.
    const TCommandTraj ten = Series(4, {5, -3, 0, 1, 2, 3, 4, 5, -7, 2});
    const TCommandTraj six = Series(4, {0, 1, 2, 3, 4, 5});
    TVoiceCommandModel model;
    model.Trajectories = {six};
    EXPECT_NEAR(model.Score(ten), 1.0, 1e-12);
    model.Trajectories = {ten};
    EXPECT_NEAR(model.Score(six), 1.0, 1e-12);
    EXPECT_EQ(model.LastScore, model.Score(six));
}

TEST(CommandScore, ColumnsMeetByIdAndAverageHalfPlusHalfTheCorrelation)
{
    const TCommandTraj self = MakeTraj({1, 2, 3}, {{0.1, 0.3, 0.7}, {0.5, 0.1, 0.7}, {0.2, 0.4, 0.7}, {0.9, 0.2, 0.7}});
    // The same columns in another order, plus one the utterance does not know.
    const TCommandTraj shuffled = MakeTraj({9, 3, 1, 2}, {{5, 0.7, 0.1, 0.3}, {1, 0.7, 0.5, 0.1},
                                                         {3, 0.7, 0.2, 0.4}, {2, 0.7, 0.9, 0.2}});
    // Column id 1 twice in the utterance: the first one counts.
    const TCommandTraj twice = MakeTraj({1, 1}, {{0.1, 0.9}, {0.5, 0.2}, {0.2, 0.5}, {0.9, 0.1}});
    struct Case { const char* what; TCommandTraj stored; TCommandTraj utterance; double score; };
    const Case cases[] = {
        {"itself: 1 per varying column, 0.5 for the constant one", self, self, 2.5 / 3.0},
        {"columns in another order", shuffled, self, 2.5 / 3.0},
        {"the first utterance column of an id", Series(1, {0.1, 0.5, 0.2, 0.9}), twice, 1.0},
        {"opposite series", kFalling, kRising, 0.5 - 0.5 * 97.0 / 115.0},
        {"no id in common", MakeTraj({7, 8}, {{0.1, 0.2}, {0.3, 0.1}}), self, 0.0},
        {"no columns", TCommandTraj{}, self, 0.0},
    };
    for (const Case& c : cases) {
        TVoiceCommandModel model;
        model.Trajectories = {c.stored};
        EXPECT_NEAR(model.Score(c.utterance), c.score, 1e-12) << c.what;
    }
}

TEST(CommandScore, TheBestStoredTrajectoryCountsAndUnknownIdsNeverWin)
{
    TVoiceCommandModel model;
    model.LastScore = 0.7;
    EXPECT_EQ(model.Score(kRising), 0.0);   // no trajectories
    EXPECT_EQ(model.LastScore, 0.0);

    const TCommandTraj unknown = Series(42, {0.1, 0.2, 0.4, 0.8});
    model.Trajectories = {kFalling};
    const double opposite = model.Score(kRising);
    ASSERT_GT(opposite, 0.0);
    model.Trajectories = {unknown, kFalling, unknown};
    EXPECT_EQ(model.Score(kRising), opposite);
    model.Trajectories = {kFalling, kRising};
    EXPECT_NEAR(model.Score(kRising), 1.0, 1e-12);
    model.Trajectories = {unknown};
    EXPECT_EQ(model.Score(kRising), 0.0);
}

class Dictionary : public ::testing::Test {
protected:
    Dictionary()
    {
        folder.MakeDirectory("Models/Data");
        WriteTrajectory(folder.Path("Models/Data/rise.trj"), kRising);
        WriteTrajectory(folder.Path("Models/Data/fall.trj"), kFalling);
        WriteTrajectory(folder.Path("Models/Data/other.trj"), Series(42, {0.1, 0.2, 0.4, 0.8}));
    }

    void Command(const std::string& fileName, const std::string& name, const std::string& trajectory)
    {
        folder.WriteText("Models/" + fileName, "command=" + name + "\r\nmodel=DATA\\" + trajectory + "\r\n");
    }

    std::string Load()
    {
        return MessageOf([&] { dictionary.LoadModels(folder.Path("Models\\"), "vcm"); });
    }

    TModelFolder folder;
    TTeskDictionary dictionary;
};

TEST_F(Dictionary, RecognizeNamesTheBestModelAndTiesGoToTheLater)
{
    struct Case {
        const char* what;
        std::vector<std::string> trajectories;   // of the models a, b, c
        std::string best;
    };
    const Case cases[] = {
        {"a tie", {"fall.trj", "rise.trj", "rise.trj"}, "C"},
        {"an earlier, better model", {"rise.trj", "fall.trj", "other.trj"}, "A"},
        {"only zero scores", {"other.trj", "other.trj", "other.trj"}, "C"},
    };
    // Every command scored with its rows in memory, and only the contenders, their rows read again from files.
    for (const bool contendersOnly : {false, true}) {
        dictionary.ScoreEveryCommandUpTo = contendersOnly ? 0 : 100;
        dictionary.KeptRowBytes = contendersOnly ? 0 : uint64_t{1} << 20;
        for (const Case& c : cases) {
            Command("a.vcm", "a", c.trajectories[0]);
            Command("b.vcm", "b", c.trajectories[1]);
            Command("c.vcm", "c", c.trajectories[2]);
            ASSERT_EQ(Load(), "(nothing thrown)");
            const double best = dictionary.Recognize(kRising);
            EXPECT_EQ(dictionary.BestName, c.best) << c.what << contendersOnly;
            double highest = 0.0;
            for (int32_t i = 0; i < dictionary.ModelCount(); ++i)
                highest = std::max(highest, dictionary.GetModel(i)->LastScore);
            EXPECT_EQ(best, highest) << c.what << contendersOnly;
            EXPECT_EQ(dictionary.BestScore, highest) << c.what << contendersOnly;
        }
    }
}

// A vocabulary scored in full keeps every take's rows, however many bytes they take: each is matched every time.
TEST_F(Dictionary, AVocabularyScoredInFullKeepsItsRows)
{
    Command("a.vcm", "a", "rise.trj");
    Command("b.vcm", "b", "fall.trj");
    dictionary.KeptRowBytes = 0;
    dictionary.ScoreEveryCommandUpTo = 2;
    ASSERT_EQ(Load(), "(nothing thrown)");
    for (int32_t i = 0; i < dictionary.ModelCount(); ++i)
        EXPECT_FALSE(dictionary.GetModel(i)->Trajectories.at(0).Rows.empty()) << i;
}

// A take kept in compact form only is read again from its file when it is matched in full; a file changed
// since the models loaded is named rather than matched as if it were the take the first pass looked at.
TEST_F(Dictionary, TakesKeptCompactAreReadAgainAndAChangedFileIsNamed)
{
    Command("a.vcm", "a", "rise.trj");
    dictionary.KeptRowBytes = 0;
    dictionary.ScoreEveryCommandUpTo = 0;
    ASSERT_EQ(Load(), "(nothing thrown)");
    const TVoiceCommandModel& model = *dictionary.GetModel(0);
    ASSERT_EQ(model.Trajectories.size(), 1u);
    EXPECT_TRUE(model.Trajectories[0].Rows.empty());
    EXPECT_EQ(model.Trajectories[0].AtomCount, kRising.AtomCount);
    ExpectSameTrajectory(model.FullTrajectories().at(0), kRising);
    EXPECT_NEAR(dictionary.Recognize(kRising), 1.0, 1e-12);

    WriteTrajectory(folder.Path("Models/Data/rise.trj"), Series(1, {0.1, 0.2, 0.4}));
    EXPECT_EQ(MessageOf([&] { dictionary.Recognize(kRising); }),
              "Файл '" + folder.Path("Models\\DATA\\RISE.TRJ") + "' изменился после загрузки моделей");
    fs::remove(folder.Path("Models/Data/rise.trj"));
    EXPECT_NE(MessageOf([&] { dictionary.Recognize(kRising); }), "(nothing thrown)");
}

TEST_F(Dictionary, OneModelScoringZeroIsStillTheBest)
{
    Command("only.vcm", "only", "other.trj");
    ASSERT_EQ(Load(), "(nothing thrown)");
    EXPECT_EQ(dictionary.Recognize(kRising), 0.0);
    EXPECT_EQ(dictionary.BestName, "ONLY");
    EXPECT_EQ(dictionary.BestScore, 0.0);
}

TEST_F(Dictionary, WithoutModelsNothingIsRecognized)
{
    ASSERT_EQ(Load(), "(nothing thrown)");
    EXPECT_EQ(dictionary.ModelCount(), 0);
    EXPECT_EQ(dictionary.Recognize(kRising), 0.0);
    EXPECT_EQ(dictionary.BestName, "Нет моделей команд");
    EXPECT_EQ(dictionary.BestScore, -1.0);
    EXPECT_EQ(dictionary.GetModel(0), nullptr);
}

// A description that does not load takes no other with it: every sound one loads, and one message names each
// broken one with its reason.
TEST_F(Dictionary, BrokenDescriptionsAreLeftOutAndNamedTogether)
{
    folder.WriteText("Models/a.vcm", "command=a\r\nnonsense\r\n");
    Command("b.vcm", "b", "rise.trj");
    Command("c.vcm", "c", "missing.trj");
    Command("d.vcm", "d", "fall.trj");
    folder.MakeDirectory("Models/dir.vcm");   // directories are not models
    const std::string models = folder.Path("Models\\");
    EXPECT_EQ(Load(), "Не загружены описания команд:\r" +
                          models + "a.vcm: Не понял строку 'NONSENSE' В файле '" + models + "a.vcm'\r" +
                          models + "c.vcm: Не могу открыть файл '" + models + "DATA\\MISSING.TRJ'");
    ASSERT_EQ(dictionary.ModelCount(), 2);
    EXPECT_EQ(dictionary.GetModel(0)->Name, "B");
    EXPECT_EQ(dictionary.GetModel(1)->Name, "D");
    // A kind of its own, so that a caller can go on with the sound ones.
    EXPECT_THROW(dictionary.LoadModels(models, "vcm"), EUnloadedModels);

    folder.WriteText("Models/a.vcm", "command=a\r\n");
    Command("c.vcm", "c", "fall.trj");
    EXPECT_EQ(Load(), "(nothing thrown)");
    EXPECT_EQ(dictionary.ModelCount(), 4);
}

// The dictionary fed by a phoneme set of two models, "abcdefgh" (id 7) and "b" (id 3).
class PhonemeScores : public ::testing::Test {
protected:
    PhonemeScores()
    {
        folder.WriteText("Models/1.phm", "CHARS=abcdefgh\r\nID=7\r\n");
        folder.WriteText("Models/2.phm", "CHARS=b\r\nID=3\r\n");
        phoneme.OnModelsChanged = [this](TTeskPhoneme& sender) { dictionary.PhonemesChanged(sender); };
        phoneme.LoadModels(folder.Path("Models/"), "phm");
        dictionary.OnTrajectoryReady = [this](TTeskDictionary& sender, const TCommandTraj& traj) {
            EXPECT_EQ(&sender, &dictionary);
            EXPECT_EQ(&traj, &dictionary.Trajectory);
            ++ready;
        };
    }

    // One utterance: a row of model scores per atom, the last one marked.
    void Utterance(const std::vector<std::vector<double>>& atoms)
    {
        for (size_t j = 0; j < atoms.size(); ++j) {
            for (int32_t i = 0; i < phoneme.ModelCount(); ++i)
                phoneme.GetModel(i)->Decision.Score = atoms[j][static_cast<size_t>(i)];
            dictionary.AddPhonemeScores(phoneme, j + 1 == atoms.size());
        }
    }

    TModelFolder folder;
    TTeskPhoneme phoneme;
    TTeskDictionary dictionary;
    int ready = 0;
};

TEST_F(PhonemeScores, AnUtteranceOfLAtomsGivesLMinusOneRows)
{
    Utterance({{0.1, 0.2}, {0.3, 0.4}, {0.5, 0.6}, {0.7, 0.8}});
    EXPECT_EQ(ready, 1);
    TCommandTraj expected = MakeTraj({7, 3}, {{0.1, 0.2}, {0.3, 0.4}, {0.5, 0.6}});
    expected.Names = {MakePhonemeName("abcdef"), MakePhonemeName("b")};
    ExpectSameTrajectory(dictionary.Trajectory, expected);

    // A lone last atom makes no trajectory: the previous one stays.
    Utterance({{0.9, 0.9}});
    EXPECT_EQ(ready, 1);
    ExpectSameTrajectory(dictionary.Trajectory, expected);

    // Rows never carry over into the next utterance.
    Utterance({{0.25, 0.5}, {0.0, 0.0}});
    EXPECT_EQ(ready, 2);
    TCommandTraj next = MakeTraj({7, 3}, {{0.25, 0.5}});
    next.Names = expected.Names;
    ExpectSameTrajectory(dictionary.Trajectory, next);
}

TEST_F(PhonemeScores, PhonemeChangesRefreshTheSnapshot)
{
    ASSERT_EQ(dictionary.Phonemes().size(), 2u);
    EXPECT_EQ(dictionary.Phonemes()[0].Chars, "abcdefgh");
    EXPECT_EQ(dictionary.Phonemes()[0].Id, 7);
    EXPECT_EQ(dictionary.Phonemes()[1].Chars, "b");
    EXPECT_EQ(dictionary.Phonemes()[1].Id, 3);
    EXPECT_EQ(dictionary.Phonemes()[1].Score, 0.0);

    fs::remove(folder.Path("Models/1.phm"));
    phoneme.LoadModels(folder.Path("Models/"), "phm");
    ASSERT_EQ(dictionary.Phonemes().size(), 1u);
    EXPECT_EQ(dictionary.Phonemes()[0].Id, 3);
}

TEST(DictionaryGolden, WindowsModelSetLoadsInNameOrder)
{
    TTeskDictionary dictionary;
    const std::string dir = std::string(PARLANTO_GOLDEN_DIR) + "/models\\";
    dictionary.LoadModels(dir, "vcm");
    const char* names[] = {"CLOSE", "OPEN", "STOP"};
    const char* files[] = {"close", "open", "stop"};
    ASSERT_EQ(dictionary.ModelCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        const TVoiceCommandModel& model = *dictionary.GetModel(i);
        const std::string upper = names[i];
        EXPECT_EQ(model.Name, upper);
        EXPECT_EQ(model.FileName, dir + files[i] + ".vcm");
        EXPECT_EQ(model.ModelFiles, (std::vector<std::string>{"DATA\\" + upper + "1.TRJ", "DATA\\" + upper + "2.TRJ"}));
        ASSERT_EQ(model.Trajectories.size(), 2u);
        for (const TCommandTraj& traj : model.Trajectories) {
            EXPECT_EQ(traj.Ids, (std::vector<int32_t>{1, 5, 2, 4, 3}));
            EXPECT_EQ(traj.Names[1], MakePhonemeName("e"));
        }
    }
    const TCommandTraj& close1 = dictionary.GetModel(0)->Trajectories[0];
    EXPECT_EQ(close1.AtomCount, 203);
    EXPECT_EQ(fs::file_size(std::string(PARLANTO_GOLDEN_DIR) + "/models/Data/close1.trj"), 8u + 10u * 5 + 8u * 5 * 203);
}

}  // namespace
