#include "SovoPhon.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "MessageOf.h"
#include "ModelFolder.h"
#include "SovoError.h"

namespace {

// An envelope rising over the bands; its mirror image correlates with it at -1.
TPhonemeTemplate Ramp(bool rising)
{
    TPhonemeTemplate bytes{};
    for (int i = 1; i < kBandCount; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(rising ? 2 * i : 255 - 2 * i);
    return bytes;
}

// An envelope with a single peak at band, which tells templates apart.
TPhonemeTemplate Peak(int band)
{
    TPhonemeTemplate bytes{};
    bytes[static_cast<size_t>(band)] = 200;
    return bytes;
}

std::vector<uint8_t> Bytes(const TPhonemeTemplate& tmpl)
{
    return std::vector<uint8_t>(tmpl.begin(), tmpl.end());
}

TAtom AtomWith(const TPhonemeTemplate& envelope, double level)
{
    TAtom atom;
    std::copy(envelope.begin(), envelope.end(), atom.EnvelopeBytes);
    atom.EnvelopeBytes[0] = 0;
    atom.Level = level;
    return atom;
}

TEST(PhonemeModel, StartsWithTenFlatTemplatesOfRisingLevel)
{
    const TPhonemeModel model;
    EXPECT_EQ(model.Chars, " ");
    EXPECT_EQ(model.Id, 0);
    EXPECT_EQ(model.MainTone, 0);
    const uint8_t levels[] = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229};
    ASSERT_EQ(model.Templates.size(), 10u);
    for (size_t k = 0; k < 10; ++k) {
        TPhonemeTemplate expected;
        expected.fill(levels[k]);
        expected[0] = 1;
        EXPECT_EQ(model.Templates[k], expected) << k;
    }
}

class PhonemeFile : public ::testing::Test {
protected:
    PhonemeFile()
    {
        folder.WriteBytes("Models/Data/T1.bin", Bytes(Ramp(true)));
        std::vector<uint8_t> longer(200, 0xEE);   // bytes behind the first 128 are ignored
        const TPhonemeTemplate peak = Peak(9);
        std::copy(peak.begin(), peak.end(), longer.begin());
        folder.WriteBytes("Models/Data/T2.bin", longer);
        folder.WriteBytes("Models/Data/short.bin", std::vector<uint8_t>(127, 1));
        folder.MakeFifo("Models/Data/pipe.bin");
    }

    TPhonemeModel Load(const std::string& text)
    {
        folder.WriteText("Models/ph.phm", text);
        TPhonemeModel model;
        model.Load(folder.Path("Models/ph.phm"));
        return model;
    }

    TModelFolder folder;
};

TEST_F(PhonemeFile, LinesFillTheModel)
{
    struct Case {
        const char* what;
        std::string text;
        std::string chars;
        int32_t id;
        std::vector<std::string> modelFiles;
        std::vector<TPhonemeTemplate> templates;
        int32_t mainTone;
    };
    TPhonemeTemplate stampedRamp = Ramp(true);
    stampedRamp[0] = 44;
    TPhonemeTemplate stampedPeak = Peak(9);
    stampedPeak[0] = 44;
    TPhonemeTemplate lowBitsRamp = Ramp(true);
    lowBitsRamp[0] = 255;
    const Case cases[] = {
        {"lower-case key with spaces", "  chars = a b \r\n", "ab", -1, {}, {}, 0},
        {"comments and blank lines", "; CHARS=x\r\n\r\n \t ;ID=5\r\n\r\nCHARS=o\r\n", "o", -1, {}, {}, 0},
        {"mixed-case key, value case kept", "iD = 12\nChArS=Ab\n", "Ab", 12, {}, {}, 0},
        {"a later CHARS wins", "CHARS=a\nCHARS=bc\n", "bc", -1, {}, {}, 0},
        {"templates relative to the file, any case",
         "MODEL=data\\t1.bin\r\nmodel = ./DATA/../Data/T2.BIN\r\n", "", -1,
         {"data\\t1.bin", "./DATA/../Data/T2.BIN"}, {Ramp(true), Peak(9)}, 0},
        {"main tone stamps its low byte after the last line",
         "MODEL=Data\\T1.bin\nMAINTONE=300\nMODEL=Data\\T2.bin\n", "", -1,
         {"Data\\T1.bin", "Data\\T2.bin"}, {stampedRamp, stampedPeak}, 300},
        {"negative main tone", "maintone=-1\nMODEL=Data\\T1.bin\nID=+3\n", "", 3,
         {"Data\\T1.bin"}, {lowBitsRamp}, -1},
    };
    for (const Case& c : cases) {
        const TPhonemeModel model = Load(c.text);
        EXPECT_EQ(model.Chars, c.chars) << c.what;
        EXPECT_EQ(model.Id, c.id) << c.what;
        EXPECT_EQ(model.ModelFiles, c.modelFiles) << c.what;
        EXPECT_EQ(model.Templates, c.templates) << c.what;
        EXPECT_EQ(model.MainTone, c.mainTone) << c.what;
    }
}

TEST_F(PhonemeFile, FaultsNameTheLineOrTheFile)
{
    const std::string phm = folder.Path("Models/ph.phm");
    const std::string data = folder.Path("Models/") + "Data\\";
    struct Case { std::string text; std::string message; };
    const Case cases[] = {
        {"CHARS=a\r\n  Bad line = 1\t x \r\n", "Не понял строку 'Badline=1\tx' В файле '" + phm + "'"},
        {"CHARSET=a\r\n", "Не понял строку 'CHARSET=a' В файле '" + phm + "'"},
        {"ID=1.5\r\n", "'1.5' is not a valid integer value"},
        {"ID=\r\n", "'' is not a valid integer value"},
        {"MainTone = x 1\r\n", "'x1' is not a valid integer value"},
        {"MODEL=Data\\none.bin\r\n", "Файл '" + data + "none.bin' ненайден! "},
        {"MODEL=Data\\short.bin\r\n", "В файле '" + data + "short.bin' не найдены данные!"},
        {"MODEL=Data\r\n", "Файл '" + folder.Path("Models/") + "Data' ненайден! "},
        {"MODEL=Data\\pipe.bin\r\n", "Файл '" + data + "pipe.bin' ненайден! "},
        // Files outside the model's folder are never looked up.
        {"MODEL=..\\Data\\T1.bin\r\n", "Не понял строку 'MODEL=..\\Data\\T1.bin' В файле '" + phm + "'"},
        {"MODEL=/dev/zero\r\n", "Не понял строку 'MODEL=/dev/zero' В файле '" + phm + "'"},
    };
    for (const Case& c : cases) {
        folder.WriteText("Models/ph.phm", c.text);
        TPhonemeModel model;
        EXPECT_EQ(MessageOf([&] { model.Load(phm); }), c.message) << c.text;
    }
}

TEST_F(PhonemeFile, ModelWithoutTemplatesScoresZero)
{
    TPhonemeModel model = Load("CHARS=a\nID=1\n");
    ASSERT_TRUE(model.Templates.empty());
    model.ScoreAtom(AtomWith(Ramp(true), 1.0));
    EXPECT_EQ(model.Decision.Score, 0.0);
}

TEST(PhonemeModel, ScoreAtomKeepsTheEarliestBestPositiveTemplate)
{
    TPhonemeModel model;
    model.Chars = "abcdefgh";
    model.Templates = {Ramp(false), Ramp(true), Ramp(true), Peak(5)};
    model.ScoreAtom(AtomWith(Ramp(true), 0.5));
    EXPECT_NEAR(model.Decision.Score, 1.0, 1e-12);   // unweighted: Level applies in the classifier
    EXPECT_EQ(model.Decision.TemplateIndex, 1);
    EXPECT_EQ(model.Decision.Template, Ramp(true));
    EXPECT_EQ(std::string(model.Decision.Name.begin(), model.Decision.Name.end()), "abcdef");

    // No positive match: the score is 0 and the previous template stays on record; a shorter name
    // overwrites only its own bytes.
    model.Chars = "xy";
    model.Templates = {Ramp(false), Peak(7)};
    model.ScoreAtom(AtomWith(Ramp(true), 1.0));
    EXPECT_EQ(model.Decision.Score, 0.0);
    EXPECT_EQ(model.Decision.TemplateIndex, 1);
    EXPECT_EQ(model.Decision.Template, Ramp(true));
    EXPECT_EQ(std::string(model.Decision.Name.begin(), model.Decision.Name.end()), "xycdef");
}

// Three phonemes in a folder, named so that the listing order is a, b, c; b and a share their template.
class PhonemeSet : public ::testing::Test {
protected:
    PhonemeSet()
    {
        folder.WriteBytes("Models/Data/rise.bin", Bytes(Ramp(true)));
        folder.WriteBytes("Models/Data/fall.bin", Bytes(Ramp(false)));
        folder.WriteBytes("Models/Data/peak.bin", Bytes(Peak(40)));
        folder.WriteText("Models/b.phm", "CHARS=b\r\nID=20\r\nMODEL=DATA\\RISE.BIN\r\n");
        folder.WriteText("Models/a.phm", "CHARS=a\r\nID=10\r\nMODEL=data\\rise.bin\r\n");
        folder.WriteText("Models/c.phm", "CHARS=c\r\nID=30\r\nMODEL=Data\\fall.bin\r\nMODEL=Data\\peak.bin\r\n");
        phoneme.OnModelsChanged = [this](TTeskPhoneme&) { ++modelsChanged; };
        phoneme.OnAtomClassified = [this](TTeskPhoneme& sender, const TPhonemeDecision& decision, bool last) {
            EXPECT_EQ(&sender, &phoneme);
            EXPECT_EQ(&decision, &phoneme.Decision);
            reports.push_back({std::string(1, decision.Name[0]), decision.Score, last});
        };
    }

    struct Report {
        std::string winner;
        double score;
        bool last;
    };

    TModelFolder folder;
    TTeskPhoneme phoneme;
    int modelsChanged = 0;
    std::vector<Report> reports;
};

TEST_F(PhonemeSet, LoadsEveryFileInNameOrderAndReportsTheChange)
{
    for (const std::string dir : {"Models\\", "models/", "MODELS\\"}) {
        modelsChanged = 0;
        phoneme.LoadModels(folder.Root() + dir, "PHM");
        ASSERT_EQ(phoneme.ModelCount(), 3) << dir;
        EXPECT_EQ(phoneme.GetModel(0)->Id, 10);
        EXPECT_EQ(phoneme.GetModel(1)->Id, 20);
        EXPECT_EQ(phoneme.GetModel(2)->Id, 30);
        EXPECT_EQ(phoneme.GetModel(2)->Templates.size(), 2u);
        EXPECT_EQ(modelsChanged, 1);
    }
    EXPECT_EQ(phoneme.GetModel(-1), nullptr);
    EXPECT_EQ(phoneme.GetModel(3), nullptr);

    // A folder without models empties the set and still reports it.
    phoneme.LoadModels(folder.Root() + "Absent\\", "phm");
    EXPECT_EQ(phoneme.ModelCount(), 0);
    EXPECT_EQ(modelsChanged, 2);
}

TEST_F(PhonemeSet, LoadingStopsAtTheFirstFaultyFileKeepingTheEarlierOnes)
{
    folder.WriteText("Models/b.phm", "CHARS=b\r\nMODEL=data\\missing.bin\r\nID=20\r\n");
    EXPECT_EQ(MessageOf([&] { phoneme.LoadModels(folder.Path("Models/"), "phm"); }),
              "Файл '" + folder.Path("Models/") + "data\\missing.bin' ненайден! ");
    ASSERT_EQ(phoneme.ModelCount(), 2);
    EXPECT_EQ(phoneme.GetModel(0)->Id, 10);
    EXPECT_EQ(phoneme.GetModel(1)->Chars, "b");   // partly loaded
    EXPECT_EQ(phoneme.GetModel(1)->Id, -1);
    EXPECT_EQ(modelsChanged, 0);
}

TEST_F(PhonemeSet, LoadingWithoutAChangeHandlerLoadsAllThenComplains)
{
    phoneme.OnModelsChanged = nullptr;
    EXPECT_EQ(MessageOf([&] { phoneme.LoadModels(folder.Path("Models/"), "phm"); }),
              "Не определена процедура сообщения о смене моделей фонем.");
    EXPECT_EQ(phoneme.ModelCount(), 3);
}

TEST_F(PhonemeSet, ClassifierWeightsEveryModelAndKeepsTheEarliestBest)
{
    phoneme.LoadModels(folder.Path("Models/"), "phm");
    struct Case {
        const char* what;
        TAtom atom;
        std::string winner;
        std::vector<double> scores;   // of a, b, c
    };
    const Case cases[] = {
        {"a and b tie", AtomWith(Ramp(true), 0.5), "a", {0.5, 0.5, 0.0}},
        {"the later model is better", AtomWith(Ramp(false), 0.25), "c", {0.0, 0.0, 0.25}},
        {"level 0: the first model", AtomWith(Ramp(false), 0.0), "a", {0.0, 0.0, 0.0}},
    };
    for (const Case& c : cases) {
        reports.clear();
        phoneme.ClassifyAtom(c.atom, true);
        ASSERT_EQ(reports.size(), 1u) << c.what;
        EXPECT_EQ(reports[0].winner, c.winner) << c.what;
        EXPECT_EQ(std::string(1, phoneme.Decision.Name[0]), c.winner) << c.what;
        for (int32_t i = 0; i < 3; ++i)
            EXPECT_NEAR(phoneme.GetModel(i)->Decision.Score, c.scores[static_cast<size_t>(i)], 1e-12) << c.what << i;
    }
}

TEST_F(PhonemeSet, AnUtteranceReportsEveryAtomAndMarksOnlyTheLast)
{
    phoneme.LoadModels(folder.Path("Models/"), "phm");
    const TAtom rise = AtomWith(Ramp(true), 1.0);
    const TAtom fall = AtomWith(Ramp(false), 1.0);
    phoneme.ClassifyAtoms({rise, fall, rise});
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].winner + reports[1].winner + reports[2].winner, "aca");
    EXPECT_FALSE(reports[0].last);
    EXPECT_FALSE(reports[1].last);
    EXPECT_TRUE(reports[2].last);

    reports.clear();
    phoneme.ClassifyAtoms({fall});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].last);

    reports.clear();
    phoneme.ClassifyAtoms({});   // nothing to classify, nothing reported
    EXPECT_TRUE(reports.empty());
}

TEST_F(PhonemeSet, ClassifyingWithoutModelsFails)
{
    EXPECT_EQ(MessageOf([&] { phoneme.ClassifyAtom(AtomWith(Ramp(true), 1.0), true); }),
              "Нет ни одной модели фонемы.");
    phoneme.LoadModels(folder.Path("Absent/"), "phm");
    EXPECT_EQ(MessageOf([&] { phoneme.ClassifyAtoms({AtomWith(Ramp(true), 1.0)}); }),
              "Нет ни одной модели фонемы.");
    EXPECT_TRUE(reports.empty());
}

TEST(PhonemeGolden, WindowsModelSetLoadsInNameOrder)
{
    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels(std::string(PARLANTO_GOLDEN_DIR) + "/models\\", "phm");
    const std::vector<std::pair<std::string, int32_t>> expected = {{"a", 1}, {"e", 5}, {"i", 2}, {"o", 4}, {"u", 3}};
    ASSERT_EQ(phoneme.ModelCount(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        const TPhonemeModel& model = *phoneme.GetModel(i);
        const std::string& chars = expected[static_cast<size_t>(i)].first;
        EXPECT_EQ(model.Chars, chars);
        EXPECT_EQ(model.Id, expected[static_cast<size_t>(i)].second);
        ASSERT_EQ(model.Templates.size(), 2u);
        for (size_t t = 0; t < 2; ++t) {
            const std::string stored = std::string(PARLANTO_GOLDEN_DIR) + "/models/Data/" +
                                       static_cast<char>(std::toupper(chars[0])) + std::to_string(t + 1) + ".bin";
            EXPECT_EQ(Bytes(model.Templates[t]), ReadAllBytes(stored)) << stored;
        }
    }
}

}  // namespace
