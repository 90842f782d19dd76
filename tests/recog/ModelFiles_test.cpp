#include "ModelFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "ModelFolder.h"

namespace {

namespace fs = std::filesystem;

// Runs a block with another current directory, as the window's relative "Models\" expects.
class TCurrentDirectory {
public:
    explicit TCurrentDirectory(const std::string& dir) : saved_(fs::current_path()) { fs::current_path(dir); }
    ~TCurrentDirectory() { fs::current_path(saved_); }

private:
    fs::path saved_;
};

TEST(ModelFiles, ResolvesWindowsPathsIgnoringCaseWithTheExactNameFirst)
{
    TModelFolder folder;
    folder.WriteText("Data/A1.bin", "a");
    folder.WriteText("Both/ABC.bin", "upper");
    folder.WriteText("Both/abc.bin", "lower");
    folder.WriteText("Both/Abc.bin", "mixed");
    folder.WriteText("Models/Sub/x.TRJ", "x");
    struct Case { std::string written; std::string resolved; };
    const Case cases[] = {
        {"Data\\A1.bin", "Data/A1.bin"},
        {"data\\a1.bin", "Data/A1.bin"},
        {"DATA/A1.BIN", "Data/A1.bin"},
        {"models\\SUB/X.trj", "Models/Sub/x.TRJ"},
        {"Models\\\\Sub\\x.TRJ", "Models/Sub/x.TRJ"},
        {"Models\\Sub\\..\\Sub\\x.trj", "Models/Sub/../Sub/x.TRJ"},
        {"Both\\abc.bin", "Both/abc.bin"},   // exact name before any other letter case
        {"Both\\ABC.bin", "Both/ABC.bin"},
        {"Both\\aBC.BIN", "Both/ABC.bin"},   // no exact match: the first in byte order
        {"data\\Missing\\X.bin", "Data/Missing/X.bin"},   // from the first miss on, as written
        {"Models\\", "Models"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveModelPath(folder.Root() + c.written), folder.Root() + c.resolved) << c.written;
    // One resolver for them all, as a folder's load uses, keeps each directory's listing and answers the same.
    TModelPathResolver paths;
    for (const Case& c : cases)
        EXPECT_EQ(paths.Resolve(folder.Root() + c.written), folder.Root() + c.resolved) << c.written;

    TCurrentDirectory inFolder(folder.Root());
    EXPECT_EQ(ResolveModelPath("models\\sub\\X.TRJ"), "Models/Sub/x.TRJ");
    EXPECT_EQ(ResolveModelPath(""), "");
}

TEST(ModelFiles, SplitsNamesAtEitherSeparator)
{
    struct Case { std::string fileName; std::string directory; std::string name; };
    const Case cases[] = {
        {"Models\\Data\\close1.trj", "Models\\Data\\", "close1.trj"},
        {"Models/Data\\close1.trj", "Models/Data\\", "close1.trj"},
        {"Models\\Data/close1.trj", "Models\\Data/", "close1.trj"},
        {"close.vcm", "", "close.vcm"},
        {"Models\\", "Models\\", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirectoryPart(c.fileName), c.directory) << c.fileName;
        EXPECT_EQ(NamePart(c.fileName), c.name) << c.fileName;
    }
}

TEST(ModelFiles, ListsMatchingFilesByNameWhateverTheDirectorySpelling)
{
    TModelFolder folder;
    for (const char* name : {"b.phm", "A.PHM", "c.Phm", "Z.phm", "d.vcm", "e.phm.bak", "phm", "ваза.phm"})
        folder.WriteText(std::string("Models/") + name, "");
    folder.MakeDirectory("Models/sub.phm");
    folder.MakeFifo("Models/f.phm");   // not a directory: listed, and then fails to open

    const std::vector<std::string> names = {"A.PHM", "Z.phm", "b.phm", "c.Phm", "f.phm", "ваза.phm"};
    for (const std::string dir : {"Models/", "Models\\", "MODELS\\", "models/"}) {
        std::vector<std::string> expected;
        for (const std::string& name : names)
            expected.push_back(folder.Root() + dir + name);
        EXPECT_EQ(ListModelFiles(folder.Root() + dir, "phm"), expected) << dir;
    }
    // What the directory part leaves over is a name prefix, as in a wildcard pattern.
    EXPECT_EQ(ListModelFiles(folder.Root() + "Models\\c", "PHM"),
              std::vector<std::string>{folder.Root() + "Models\\cc.Phm"});
    EXPECT_TRUE(ListModelFiles(folder.Root() + "Absent\\", "phm").empty());

    TCurrentDirectory inFolder(folder.Root());
    EXPECT_EQ(ListModelFiles("Models\\", "vcm"), std::vector<std::string>{"Models\\d.vcm"});
}

TEST(ModelFiles, ReadsOnlyRegularFilesAndNeverBlocks)
{
    TModelFolder folder;
    folder.WriteBytes("Data/T.bin", {1, 2, 3, 4, 5});
    folder.MakeFifo("Data/pipe.bin");
    folder.MakeDirectory("Data/dir.bin");

    EXPECT_EQ(ReadFileBytes(folder.Path("data\\t.BIN")), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ReadFileBytes(folder.Path("Data/T.bin"), 3), (std::vector<uint8_t>{1, 2, 3}));
    for (const std::string& name : {folder.Path("Data/pipe.bin"), folder.Path("Data/dir.bin"),
                                    folder.Path("Data/none.bin"), std::string("/dev/zero")})
        EXPECT_FALSE(ReadFileBytes(name).has_value()) << name;
}

TEST(ModelFiles, ModelLinesAreTrimmedFreedOfSpacesAndFiltered)
{
    TModelFolder folder;
    folder.WriteText("m.txt",
                     "\xEF\xBB\xBF" "chars = a b\r\n"   // a byte-order mark is not blank: it stays
                     "\r\n"
                     "   ; comment = x\r\n"
                     "\t Id\t= 1 \t\r\n"
                     "\x01\x1F  command = дверь \x7F\r\n"
                     "\r"
                     "last line without end");
    EXPECT_EQ(ReadModelLines(folder.Path("m.txt"), TLetterCase::Keep),
              (std::vector<std::string>{"\xEF\xBB\xBF" "chars=ab", "Id\t=1", "command=дверь\x7F",
                                        "lastlinewithoutend"}));
    EXPECT_EQ(ReadModelLines(folder.Path("m.txt"), TLetterCase::Upper),
              (std::vector<std::string>{"\xEF\xBB\xBF" "CHARS=AB", "ID\t=1", "COMMAND=дверь\x7F",
                                        "LASTLINEWITHOUTEND"}));
    try {
        ReadModelLines(folder.Path("none.txt"), TLetterCase::Keep);
        FAIL() << "a missing file was read";
    } catch (const ESovoError& e) {
        EXPECT_EQ(std::string(e.what()), "Не могу открыть файл '" + folder.Path("none.txt") + "'");
    }
}

// Sparse: the file system gives a gigabyte of zeros without storing them.
TEST(ModelFiles, DescriptionLargerThanAnyCouldBeIsAReadError)
{
    TModelFolder folder;
    folder.WriteText("huge.vcm", "command=x\r\n");
    std::filesystem::resize_file(folder.Path("huge.vcm"), uintmax_t{1} << 30);
    try {
        ReadModelLines(folder.Path("huge.vcm"), TLetterCase::Upper);
        FAIL() << "a gigabyte description was read";
    } catch (const ESovoError& e) {
        EXPECT_EQ(std::string(e.what()), "Ошибка чтения файла '" + folder.Path("huge.vcm") + "'");
    }
}

TEST(ModelFiles, IntegersAreDecimalWithAnOptionalSign)
{
    struct Case { std::string text; int32_t value; };
    const Case valid[] = {
        {"0", 0}, {"42", 42}, {"-7", -7}, {"+5", 5}, {"007", 7},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const Case& c : valid)
        EXPECT_EQ(ParseModelInteger(c.text), c.value) << c.text;

    for (const std::string text : {"", "+", "-", "+-3", "--3", "2147483648", "-2147483649", "1.5", "1,5", "0x10",
                                   "$10", "12a", "1\t", "\t1", "１"}) {
        try {
            ParseModelInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ESovoError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
}

TEST(ModelFiles, RewriteReplacesFilesAndLinksButNothingElse)
{
    TModelFolder folder;
    folder.WriteText("Data/Old.trj", "a much longer previous content");
    EXPECT_EQ(RewriteFile(folder.Path("DATA\\old.TRJ"), {7, 8}), TWriteResult::Written);
    EXPECT_EQ(ReadAllBytes(folder.Path("Data/Old.trj")), (std::vector<uint8_t>{7, 8}));

    // A link is replaced by a file of its own; its target stays untouched.
    folder.WriteText("target.bin", "target");
    fs::create_symlink(folder.Path("target.bin"), folder.Path("Data/link.trj"));
    EXPECT_EQ(RewriteFile(folder.Path("Data/link.trj"), {9}), TWriteResult::Written);
    EXPECT_FALSE(fs::is_symlink(folder.Path("Data/link.trj")));
    EXPECT_EQ(ReadAllBytes(folder.Path("target.bin")), (std::vector<uint8_t>{'t', 'a', 'r', 'g', 'e', 't'}));

    folder.MakeDirectory("Data/dir.trj");
    folder.MakeFifo("Data/pipe.trj");
    for (const std::string& name : {folder.Path("Data/dir.trj"), folder.Path("Data/pipe.trj"),
                                    folder.Path("Absent/x.trj")})
        EXPECT_EQ(RewriteFile(name, {1}), TWriteResult::NotCreated) << name;
    EXPECT_TRUE(fs::is_directory(folder.Path("Data/dir.trj")));
    EXPECT_TRUE(fs::is_fifo(folder.Path("Data/pipe.trj")));
}

}  // namespace
