#include "PhonemeSetCopy.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SovoError.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(PhonemeSetCopy, CopiesPhonemeFilesAndTheirTemplatesButNoCommandModels)
{
    TempDir dir;
    const std::string tmpl(128, '\7');
    dir.Write("from/a.phm", "CHARS=a\r\nMODEL=data\\A1.bin\r\nMODEL=sub\\deep\\a2.bin\r\n");
    dir.Write("from/Data/A1.bin", tmpl);
    dir.Write("from/sub/deep/a2.bin", tmpl);
    dir.Write("from/Data/unused.bin", tmpl);
    dir.Write("from/open.vcm", "command=open\r\nmodel=DATA\\open1.trj\r\n");
    dir.Write("from/Data/open1.trj", "trajectory");
    fs::create_directories(dir.Path() / "to");

    CopyPhonemeSet(dir.Dir() + "from", dir.Dir() + "to/");

    EXPECT_EQ(dir.Read("to/a.phm"), dir.Read("from/a.phm"));
    EXPECT_EQ(dir.Read("to/Data/A1.bin"), tmpl) << "the file's own name, found ignoring letter case";
    EXPECT_EQ(dir.Read("to/sub/deep/a2.bin"), tmpl);
    for (const char* absent : {"to/Data/unused.bin", "to/open.vcm", "to/Data/open1.trj"})
        EXPECT_FALSE(fs::exists(dir.Path() / absent)) << absent;
}

// Its copy would land outside the scratch folder, next to (or over) files that are not the copy's.
TEST(PhonemeSetCopy, ATemplateOutsideTheFolderIsRefused)
{
    TempDir dir;
    dir.Write("shared.bin", std::string(128, '\7'));
    dir.Write("from/a.phm", "CHARS=a\r\nMODEL=..\\shared.bin\r\n");
    fs::create_directories(dir.Path() / "to");
    EXPECT_THROW(CopyPhonemeSet(dir.Dir() + "from/", dir.Dir() + "to/"), ESovoError);
}

}  // namespace
