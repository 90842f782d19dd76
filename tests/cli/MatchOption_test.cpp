// parlanto-cli recognize --match: classic unless asked, aligned on request, anything else refused.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CliRun.h"

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

TEST(MatchOption, ClassicIsTheDefaultAndAlignedIsAnotherMatcher)
{
    const std::string byDefault = Recognize("");
    EXPECT_EQ(Recognize("--match classic"), byDefault);

    const std::string aligned = Recognize("--match aligned");
    EXPECT_NE(aligned, byDefault);
    const std::regex answer(R"re("file": "[^"]*/(\w+)\.wav", "recognized": true, "command": "(\w+)")re");
    std::string answers;
    for (auto it = std::sregex_iterator(aligned.begin(), aligned.end(), answer); it != std::sregex_iterator(); ++it)
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
        {"--match bogus x.wav", "parlanto-cli recognize: --match needs classic or aligned, not 'bogus'\n"},
        {"--match Aligned x.wav", "parlanto-cli recognize: --match needs classic or aligned, not 'Aligned'\n"},
        {"x.wav --match", "parlanto-cli recognize: --match needs a value\n"},
    };
    for (const Case& c : cases) {
        const TCliRun run = RunCli(std::string("recognize ") + c.options, true);
        EXPECT_EQ(run.ExitCode, 2) << c.options;
        EXPECT_EQ(run.Output, c.message);
    }
}

}  // namespace
