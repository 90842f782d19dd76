// parlanto-cli recognize --reject: aligned matching rejects by default, classic only on request; a rejected file
// still names its nearest command, and says plainly that it is not a command.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CliRun.h"
#include "GoldenManifest.h"
#include "TempDir.h"

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;
const std::string kFiles = kGolden + "/wav/open_test1.wav " + kGolden + "/wav/vowel_a.wav";

std::string Recognize(const std::string& options)
{
    const TCliRun run = RunCli("recognize --fresh --models " + kGolden + "/models " + options + " " + kFiles);
    EXPECT_EQ(run.ExitCode, 0) << options;
    return run.Output;
}

// "name=verdict" for every file of a JSON answer.
std::string Verdicts(const std::string& json)
{
    const std::regex answer(R"re("file": "[^"]*/(\w+)\.wav", "recognized": true, "command": "\w+", "like": [^,]+, "distance": [^,]+, "accepted": (\w+))re");
    std::string verdicts;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), answer); it != std::sregex_iterator(); ++it)
        verdicts += (*it)[1].str() + "=" + (*it)[2].str() + " ";
    return verdicts;
}

TEST(RejectOption, AutoRejectsWithAlignedMatchingOnlyAndALikeSetsTheBar)
{
    const struct {
        const char* options;
        const char* verdicts;
    } cases[] = {
        {"--json --match classic", "open_test1=true vowel_a=true "},            // classic: as it always was
        {"--json --match classic --reject on --reject 1", "open_test1=false vowel_a=false "},   // the last one counts
        {"--json --match aligned --reject 0", "open_test1=true vowel_a=true "},
        {"--json --match aligned --reject off", "open_test1=true vowel_a=true "},
        {"--json", "open_test1=true vowel_a=false "},                          // aligned by default: a vowel is no command
        {"--json --match aligned --reject auto", "open_test1=true vowel_a=false "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Verdicts(Recognize(c.options)), c.verdicts) << c.options;
}

TEST(RejectOption, TheLineOfARejectedFileSaysItIsNotACommandAndNamesTheNearest)
{
    const std::string output = Recognize("--match aligned");
    EXPECT_TRUE(std::regex_search(output, std::regex(R"(open_test1.wav: OPEN  Like )"))) << output;
    EXPECT_TRUE(std::regex_search(output, std::regex(R"(vowel_a.wav: not a command \(nearest \w+\)  Like [0-9.]+%)")))
        << output;
}

TEST(RejectOption, AnythingButTheThreeWordsOrALikeIsAUsageError)
{
    for (const char* value : {"yes", "1.5", "-0.2", "50%"}) {
        const TCliRun run = RunCli(std::string("recognize --reject ") + value + " x.wav", true);
        EXPECT_EQ(run.ExitCode, 2) << value;
        EXPECT_NE(run.Output.find("--reject needs auto, on, off or a Like from 0 to 1, not '" + std::string(value) + "'"),
                  std::string::npos)
            << run.Output;
    }
}

// Rejection is measured where the detailed matcher rejects: its cost on the whole vocabulary, then a run with
// every other word enrolled and the clips played; classic matching without --reject reports as it always did.
TEST(RejectOption, EvalMeasuresRejectionWhereTheDetailedMatcherRejects)
{
    TempDir dir;
    const std::string manifest = WriteGoldenManifest(dir, {"train1", "train2", "test1"});
    const std::string eval = "eval --enroll 2 --models " + kGolden + "/models --manifest " + manifest;

    const TCliRun classic = RunCli(eval + " --match classic");
    ASSERT_EQ(classic.ExitCode, 0) << classic.Output;
    EXPECT_EQ(classic.Output.find("ejection"), std::string::npos) << classic.Output;

    const TCliRun aligned = RunCli(eval + " --non-speech " + kGolden + "/wav");
    ASSERT_EQ(aligned.ExitCode, 0) << aligned.Output;
    for (const char* expected : {"With rejection: 0/3 0% of the right answers rejected, accuracy among the accepted 3/3 100%",
                                 "unknown words; 14 non-speech clips", "\nRejection\n", "\nall ", "\nLike ", "\nDistance "})
        EXPECT_NE(aligned.Output.find(expected), std::string::npos) << expected << "\n" << aligned.Output;

    const TCliRun refused = RunCli(eval + " --reject off --match aligned --non-speech " + kGolden + "/wav", true);
    EXPECT_EQ(refused.ExitCode, 2);
    EXPECT_NE(refused.Output.find("--non-speech measures rejection"), std::string::npos) << refused.Output;
}

}  // namespace
