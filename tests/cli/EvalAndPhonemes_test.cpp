// parlanto-cli eval and parlanto-cli phonemes build: what they print and how they refuse bad arguments.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "GoldenManifest.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kGolden = PARLANTO_GOLDEN_DIR;

TEST(EvalCommand, PrintsAccuracyConfusionAndTheSpreadOfLikeAndDistance)
{
    TempDir dir;
    WriteGoldenManifest(dir, {"train1", "test1", "train2"});

    const TCliRun run = RunCli("eval --enroll 2 --models " + kGolden + "/models --manifest " + dir.Dir() + "manifest.csv");
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_NE(run.Output.find("Takes 1..2 of each word enrolled"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("3 takes recognized, 0 rows numbered below 1 not used, 0 enrolment takes"),
              std::string::npos);
    EXPECT_NE(run.Output.find("\nall                  all               3      3      100%\n"), std::string::npos)
        << run.Output;
    EXPECT_NE(run.Output.find("Confusion, vocabulary cmd"), std::string::npos);
    EXPECT_NE(run.Output.find("\nwrong       0          -        -        -        -"), std::string::npos)
        << run.Output;
}

TEST(PhonemesCommand, BuildsASetFromAFolderPerUnit)
{
    TempDir dir;
    for (const std::string vowel : {"a", "o"}) {
        fs::create_directories(dir.Path() / "rec" / vowel);
        fs::copy_file(kGolden + "/wav/vowel_" + vowel + ".wav", dir.Path() / "rec" / vowel / "1.wav");
    }
    const TCliRun run = RunCli("phonemes build --templates 2 --out " + dir.Dir() + "set --from " + dir.Dir() + "rec");
    ASSERT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_NE(run.Output.find("2 phonemes, "), std::string::npos) << run.Output;
    EXPECT_TRUE(fs::exists(dir.Path() / "set" / "a.phm"));
    EXPECT_TRUE(fs::exists(dir.Path() / "set" / "Data" / "o_1.bin"));
}

TEST(EvalAndPhonemesCommands, RefuseBadArgumentsWithUsageErrors)
{
    const struct { const char* arguments; const char* message; } cases[] = {
        {"eval", "--manifest is required"},
        {"eval --manifest m.csv --enroll 0", "--enroll needs a whole number of 1 or more, not '0'"},
        {"eval --manifest m.csv --enroll two", "--enroll needs a whole number"},
        {"phonemes", "usage: parlanto-cli phonemes build"},
        {"phonemes list", "unknown action 'list'"},
        {"phonemes build --out d", "give --out and one of --from and --manifest"},
        {"phonemes build --out d --from f --manifest m", "give --out and one of --from and --manifest"},
        {"phonemes build --out d --from f --templates 11", "--templates needs a whole number from 1 to 10"},
        {"phonemes build --out d --from f --min-level 1.5", "--min-level needs a number from 0 to 1"},
    };
    for (const auto& c : cases) {
        const TCliRun run = RunCli(c.arguments, true);
        EXPECT_EQ(run.ExitCode, 2) << c.arguments;
        EXPECT_NE(run.Output.find(c.message), std::string::npos) << c.arguments << "\n" << run.Output;
    }
}

TEST(EvalCommand, AMissingManifestIsAnErrorNotAnEmptyResult)
{
    const TCliRun run = RunCli("eval --manifest /nonexistent/manifest.csv", true);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Output.find("Не могу открыть файл '/nonexistent/manifest.csv'"), std::string::npos) << run.Output;
}

}  // namespace
