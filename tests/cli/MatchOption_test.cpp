// parlanto-cli recognize and eval --match: aligned unless asked, classic on request, anything else refused;
// eval shows both matchers side by side.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CliRun.h"
#include "GoldenManifest.h"
#include "TempDir.h"

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;
const std::string kFiles = kGolden + "/wav/open_test1.wav " + kGolden + "/wav/stop_test1.wav " + kGolden +
                           "/wav/vowel_a.wav";

std::string Recognize(const std::string& options)
{
    const TCliRun run = RunCli("recognize --fresh --json --models " + kGolden + "/models " + options + " " + kFiles);
    EXPECT_EQ(run.ExitCode, 0) << options;
    return run.Output;
}

TEST(MatchOption, AlignedIsTheDefaultAndClassicIsAnotherMatcher)
{
    const std::string byDefault = Recognize("");
    EXPECT_EQ(Recognize("--match aligned"), byDefault);
    EXPECT_NE(Recognize("--match classic"), byDefault);

    const std::regex answer(R"re("file": "[^"]*/(\w+)\.wav", "recognized": true, "command": "(\w+)")re");
    std::string answers;
    for (auto it = std::sregex_iterator(byDefault.begin(), byDefault.end(), answer); it != std::sregex_iterator(); ++it)
        answers += (*it)[1].str() + "=" + (*it)[2].str() + " ";
    EXPECT_EQ(answers, "open_test1=OPEN stop_test1=STOP vowel_a=OPEN ");
}

TEST(MatchOption, OnlyTheTwoModesAreAccepted)
{
    struct Case {
        const char* options;
        const char* message;
    };
    const Case cases[] = {
        {"recognize --match bogus x.wav", "parlanto-cli recognize: --match needs classic or aligned, not 'bogus'\n"},
        {"recognize --match Aligned x.wav",
         "parlanto-cli recognize: --match needs classic or aligned, not 'Aligned'\n"},
        {"recognize x.wav --match", "parlanto-cli recognize: --match needs a value\n"},
        {"eval --manifest m.csv --match dtw", "parlanto-cli eval: --match needs classic or aligned, not 'dtw'\n"},
    };
    for (const Case& c : cases) {
        const TCliRun run = RunCli(c.options, true);
        EXPECT_EQ(run.ExitCode, 2) << c.options;
        EXPECT_EQ(run.Output, c.message);
    }
}

TEST(MatchOption, EvalDetailsOneMatcherAndShowsBothSideBySide)
{
    TempDir dir;
    WriteGoldenManifest(dir, {"train1", "train2", "test1"});
    const std::string eval = "eval --enroll 2 --models " + kGolden + "/models --manifest " + dir.Dir() + "manifest.csv";

    const TCliRun classic = RunCli(eval + " --match classic");
    ASSERT_EQ(classic.ExitCode, 0) << classic.Output;
    EXPECT_NE(classic.Output.find("Takes 1..2 of each word enrolled, phoneme models of " + kGolden +
                                  "/models/, classic matching\n"),
              std::string::npos)
        << classic.Output;
    const TCliRun aligned = RunCli(eval + " --reject off");   // aligned by default; the table ends the report
    ASSERT_EQ(aligned.ExitCode, 0) << aligned.Output;
    EXPECT_NE(aligned.Output.find(", aligned matching\n"), std::string::npos) << aligned.Output;

    const size_t sideBySide = aligned.Output.find("\nMatchers side by side\n");
    ASSERT_NE(sideBySide, std::string::npos) << aligned.Output;
    const std::string table = aligned.Output.substr(sideBySide);
    EXPECT_EQ(classic.Output.substr(classic.Output.find("\nMatchers side by side\n")), table)
        << "the same table whichever matcher is detailed";
    for (const char* row : {"                                        classic        aligned\n",
                            "top-1, vocabulary cmd                  3/3 100%       3/3 100%\n",
                            "top-1, all                             3/3 100%       3/3 100%\n",
                            "Distance median, wrong                        -              -\n",
                            "Distance, right over wrong (AUC)              -              -\n"})
        EXPECT_NE(table.find(row), std::string::npos) << row << table;
}

}  // namespace
