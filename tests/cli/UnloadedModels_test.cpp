// parlanto-cli on a model folder with broken command descriptions, sorted before and between the sound ones:
// one message on standard error names each broken one, and every other command recognizes and enrolls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRun.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kGolden = PARLANTO_GOLDEN_DIR;

std::string Wav(const std::string& name)
{
    return kGolden + "/wav/" + name + ".wav";
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class UnloadedModels : public testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(kGolden + "/models", models.Path(), fs::copy_options::recursive);
        models.Write("a.vcm", "command=a\r\nnonsense\r\n");
        models.Write("d.vcm", "command=d\r\nmodel=DATA\\missing.trj\r\n");
    }

    // The message, each broken description on a line of its own.
    std::string Message() const
    {
        return "Не загружены описания команд:\n" + models.Dir() + "a.vcm: Не понял строку 'NONSENSE' В файле '" +
               models.Dir() + "a.vcm'\n" + models.Dir() + "d.vcm: Не могу открыть файл '" + models.Dir() +
               "DATA\\MISSING.TRJ'\n";
    }

    TempDir models;
};

TEST_F(UnloadedModels, RecognizeNamesThemOnceAndRecognizesWithTheOthers)
{
    const std::string files = Wav("open_test1") + " " + Wav("stop_test1");
    const TCliRun results = RunCli("recognize --fresh --models " + models.Dir() + " " + files);
    EXPECT_EQ(results.ExitCode, 0);
    EXPECT_EQ(results.Output.find(Wav("open_test1") + ": OPEN  Like "), 0u) << results.Output;
    EXPECT_NE(results.Output.find(Wav("stop_test1") + ": STOP  Like "), std::string::npos) << results.Output;

    const TCliRun all = RunCli("recognize --fresh --models " + models.Dir() + " " + files, true);
    EXPECT_EQ(all.Output.find(Message()), 0u) << all.Output;
    EXPECT_EQ(Occurrences(all.Output, "Не загружены"), 1u) << all.Output;
}

TEST_F(UnloadedModels, EnrollNamesThemAndSaves)
{
    const TCliRun run = RunCli("enroll --models " + models.Dir() + " --command CLOSE " + Wav("close_test1"), true);
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.Output.find(Message()), 0u) << run.Output;
    EXPECT_NE(run.Output.find("recognized as CLOSE"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find(", listed in " + models.Dir() + "close.vcm\n"), std::string::npos) << run.Output;
}

}  // namespace
