// parlanto-cli enroll: a softly spoken take is saved in aligned mode, which finds speech against the
// recording's own floor, while classic mode's absolute test hears nothing in it; silence is refused in both.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRun.h"
#include "R_SOURCE.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kGolden = PARLANTO_GOLDEN_DIR;

// A golden take 36 dB softer, over a dither of one sample step: a soft voice at a low microphone gain.
std::vector<int16_t> SoftTake(const std::string& name)
{
    TWavFileSource source;
    source.Open(kGolden + "/wav/" + name + ".wav");
    const int16_t* samples = nullptr;
    const int32_t count = source.Read(1, samples, static_cast<int32_t>(source.TotalSamples()), 0);
    std::vector<int16_t> soft(samples, samples + count);
    for (size_t i = 0; i < soft.size(); ++i)
        soft[i] = static_cast<int16_t>(soft[i] / 64 + static_cast<int>(i * 7919 % 3) - 1);
    return soft;
}

class Enroll : public testing::Test {
protected:
    void SetUp() override { fs::copy(kGolden + "/models", models.Path(), fs::copy_options::recursive); }

    TCliRun Run(const std::string& options, const std::string& file)
    {
        return RunCli("enroll --models " + models.Dir() + " " + options + " " + file, true);
    }
    std::string Recognize(const std::string& match, const std::string& file)
    {
        return RunCli("recognize --fresh --models " + models.Dir() + " --match " + match + " " + file).Output;
    }

    TempDir models;
    TempDir takes;
};

TEST_F(Enroll, ASoftTakeIsSavedInAlignedModeAndRecognizedThere)
{
    const std::string softOpen = takes.WriteWav("soft_open.wav", SoftTake("open_train1"));
    const TCliRun classic = Run("--match classic --command open --as soft_open.trj", softOpen);
    EXPECT_EQ(classic.ExitCode, 1);
    EXPECT_NE(classic.Output.find("gave no result; nothing saved (too quiet or too short"), std::string::npos)
        << classic.Output;
    EXPECT_FALSE(fs::exists(models.Path() / "Data" / "soft_open.trj"));

    ASSERT_EQ(Run("--command open --as soft_open.trj", softOpen).ExitCode, 0);   // aligned by default
    EXPECT_TRUE(fs::exists(models.Path() / "Data" / "soft_open.trj"));
    ASSERT_EQ(Run("--match aligned --command stop", takes.WriteWav("soft_stop.wav", SoftTake("stop_train1"))).ExitCode,
              0);

    EXPECT_NE(Recognize("aligned", takes.WriteWav("t1.wav", SoftTake("open_test1"))).find(": OPEN "), std::string::npos);
    EXPECT_NE(Recognize("aligned", takes.WriteWav("t2.wav", SoftTake("stop_test1"))).find(": STOP "), std::string::npos);
    // The examples saved in aligned mode load and serve classic matching too.
    EXPECT_NE(Recognize("classic", kGolden + "/wav/open_test1.wav").find(": OPEN "), std::string::npos);
}

// Warnings say what may be wrong with a take; the take is saved all the same.
TEST_F(Enroll, ADoubtfulTakeIsSavedWithAWarning)
{
    const struct {
        std::string file;
        const char* command;
        const char* warning;
    } cases[] = {
        {kGolden + "/wav/stop_test1.wav", "OPEN", "warning: different: it matches the other examples of OPEN far worse"},
        {takes.WriteWav("soft.wav", SoftTake("open_test1")), "OPEN", "warning: too quiet"},
        {kGolden + "/wav/open_test1.wav", "OPEN", nullptr},
        {kGolden + "/wav/stop_test1.wav", "new", nullptr},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "take" + std::to_string(++n) + ".trj";
        const TCliRun run = Run(std::string("--match aligned --command ") + c.command + " --as " + name, c.file);
        EXPECT_EQ(run.ExitCode, 0) << run.Output;
        EXPECT_TRUE(fs::exists(models.Path() / "Data" / name)) << c.file;
        if (c.warning != nullptr)
            EXPECT_NE(run.Output.find(c.warning), std::string::npos) << run.Output;
        else
            EXPECT_EQ(run.Output.find("warning"), std::string::npos) << run.Output;
    }
}

TEST_F(Enroll, SilenceIsRefusedInBothModesWithTheReason)
{
    const std::string silence = takes.WriteWav("silence.wav", std::vector<int16_t>(22050, 0));
    struct Case {
        const char* options;
        const char* reason;
    };
    const Case cases[] = {
        {"--match classic", "too quiet or too short"},
        {"--match aligned", "no sound in it: silent, or shorter than 512 samples"},
    };
    for (const Case& c : cases) {
        const TCliRun run = Run(std::string(c.options) + " --command hush", silence);
        EXPECT_EQ(run.ExitCode, 1) << c.options;
        EXPECT_NE(run.Output.find(c.reason), std::string::npos) << run.Output;
        EXPECT_FALSE(fs::exists(models.Path() / "hush.vcm")) << c.options;
    }
}

}  // namespace
