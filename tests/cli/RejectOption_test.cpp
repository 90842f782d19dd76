// parlanto-cli recognize --reject: aligned matching rejects by default, classic only on request; a rejected file
// still names its nearest command, and says plainly that it is not a command.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CliRun.h"

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
        {"--json", "open_test1=true vowel_a=true "},                            // classic: as it always was
        {"--json --reject on --reject 1", "open_test1=false vowel_a=false "},   // the last one given counts
        {"--json --match aligned --reject 0", "open_test1=true vowel_a=true "},
        {"--json --match aligned --reject off", "open_test1=true vowel_a=true "},
        {"--json --match aligned", "open_test1=true vowel_a=false "},          // a vowel is no command
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

}  // namespace
