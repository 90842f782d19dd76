#include "PhonemeSetWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SovoError.h"
#include "SovoPhon.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

TPhonemeTemplate Template(uint8_t tone, uint8_t level)
{
    TPhonemeTemplate tmpl;
    tmpl.fill(level);
    tmpl[0] = tone;
    tmpl[64] = 255;
    return tmpl;
}

TBuiltPhoneme Phoneme(const std::string& name, int32_t id, size_t templates)
{
    TBuiltPhoneme phoneme{name, id, {}, 42};
    for (size_t t = 0; t < templates; ++t)
        phoneme.Templates.push_back(Template(static_cast<uint8_t>(100 + t), static_cast<uint8_t>(10 * t)));
    return phoneme;
}

TEST(PhonemeSetWriter, WrittenSetLoadsBackAsBuilt)
{
    TempDir dir;
    const std::vector<TBuiltPhoneme> set = {Phoneme("a", 17, 2), Phoneme("sh", 2000000000, 1)};
    WritePhonemeSet(set, dir.Dir() + "new");

    EXPECT_EQ(dir.Read("new/a.phm"), "; phoneme unit a: 2 template(s) learnt from 42 loud atoms\r\nCHARS=a\r\n"
                                     "ID=17\r\nMODEL=Data\\a_1.bin\r\nMODEL=Data\\a_2.bin\r\n");
    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels(dir.Dir() + "new/", "phm");
    ASSERT_EQ(phoneme.ModelCount(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        const TPhonemeModel& model = *phoneme.GetModel(i);
        EXPECT_EQ(model.Chars, set[i].Name);
        EXPECT_EQ(model.Id, set[i].Id);
        EXPECT_EQ(model.Templates, set[i].Templates) << "byte 0 included: no MAINTONE line overrides it";
    }
}

TEST(PhonemeSetWriter, ReplacesThePreviousSetAndLeavesCommandModelsAndOutsideFilesAlone)
{
    TempDir dir;
    const std::string outside = dir.Write("elsewhere/x.bin", std::string(128, '\1'));
    dir.Write("models/old.phm", "CHARS=old\r\nID=3\r\nMODEL=data\\OLD1.BIN\r\nMODEL=..\\elsewhere\\x.bin\r\n");
    dir.Write("models/Data/OLD1.BIN", std::string(128, '\2'));
    dir.Write("models/a.phm", "CHARS=a\r\nMODEL=Data\\a_1.bin\r\nMODEL=Data\\a_9.bin\r\n");
    dir.Write("models/Data/a_9.bin", std::string(128, '\3'));
    dir.Write("models/open.vcm", "command=open\r\nmodel=DATA\\open1.trj\r\n");
    dir.Write("models/Data/open1.trj", "trajectory");

    WritePhonemeSet({Phoneme("a", 1, 1)}, dir.Dir() + "models");

    EXPECT_FALSE(fs::exists(dir.Path() / "models/old.phm"));
    EXPECT_FALSE(fs::exists(dir.Path() / "models/Data/OLD1.BIN"));
    EXPECT_FALSE(fs::exists(dir.Path() / "models/Data/a_9.bin"));
    EXPECT_TRUE(fs::exists(dir.Path() / "models/Data/a_1.bin"));
    EXPECT_TRUE(fs::exists(dir.Path() / "models/a.phm"));
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_EQ(dir.Read("models/open.vcm"), "command=open\r\nmodel=DATA\\open1.trj\r\n");
    EXPECT_EQ(dir.Read("models/Data/open1.trj"), "trajectory");
}

TEST(PhonemeSetWriter, NamesThatCannotBeFilesOrPhmValuesAreRefusedBeforeWriting)
{
    for (const char* name : {"", "two words", "a/b", "a\\b", "..", "tab\tbed"}) {
        TempDir dir;
        EXPECT_THROW(WritePhonemeSet({Phoneme("a", 1, 1), Phoneme(name, 2, 1)}, dir.Dir() + "models"), ESovoError)
            << name;
        EXPECT_FALSE(fs::exists(dir.Path() / "models")) << name;
    }
}

}  // namespace
