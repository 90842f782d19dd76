#include "PhonemeRecordings.h"

#include <gtest/gtest.h>

#include "SovoError.h"
#include "TempDir.h"

namespace {

TEST(PhonemeRecordings, FoldersGiveUnitsInNameOrderWithTheirWaveFiles)
{
    TempDir dir;
    dir.Write("rec/sh/2.wav", "");
    dir.Write("rec/sh/1.WAV", "");
    dir.Write("rec/sh/notes.txt", "");
    dir.Write("rec/a/x.wav", "");
    dir.Write("rec/empty/readme", "");
    dir.Write("rec/stray.wav", "");
    const std::vector<TUnitRecordings> units = RecordingsFromFolders(dir.Dir() + "rec");
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].Unit, "a");
    EXPECT_EQ(units[0].Files, std::vector<std::string>{dir.Dir() + "rec/a/x.wav"});
    EXPECT_EQ(units[1].Unit, "sh");
    EXPECT_EQ(units[1].Files, (std::vector<std::string>{dir.Dir() + "rec/sh/1.WAV", dir.Dir() + "rec/sh/2.wav"}));
    EXPECT_THROW(RecordingsFromFolders(dir.Dir() + "missing"), ESovoError);
}

TEST(PhonemeRecordings, ManifestGroupsRowsByUnitInOrderOfFirstAppearance)
{
    TempDir dir;
    const std::string manifest =
        dir.Write("set/list.csv", "unit,path\nsh,s1.wav\na,/abs/a.wav\nsh,sub/s2.wav\n");
    const std::vector<TUnitRecordings> units = RecordingsFromManifest(manifest);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].Unit, "sh");
    EXPECT_EQ(units[0].Files, (std::vector<std::string>{dir.Dir() + "set/s1.wav", dir.Dir() + "set/sub/s2.wav"}));
    EXPECT_EQ(units[1].Files, std::vector<std::string>{"/abs/a.wav"});
}

}  // namespace
