// The models in Models/ and the examples in examples/ ship together: every example must be recognized as the
// command it is named after, whether the recognizer runs on from file to file or starts afresh for each.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "CliRun.h"
#include "SovoPhon.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = PARLANTO_SOURCE_DIR;

std::vector<fs::path> Examples()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kSource / "examples")) {
        if (entry.path().extension() == ".wav")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    return text;
}

TEST(ShippedModels, EveryExampleIsRecognizedAsTheCommandItIsNamedAfter)
{
    const std::vector<fs::path> examples = Examples();
    ASSERT_GE(examples.size(), 3u);
    std::string files;
    for (const fs::path& file : examples)
        files += " " + file.string();
    for (const std::string mode : {"", " --fresh"}) {
        const TCliRun run = RunCli("recognize --models " + (kSource / "Models").string() + mode + files);
        ASSERT_EQ(run.ExitCode, 0) << run.Output;
        std::istringstream lines(run.Output);
        std::string line;
        for (const fs::path& file : examples) {
            ASSERT_TRUE(std::getline(lines, line));
            EXPECT_EQ(line.rfind(file.string() + ": " + Upper(file.stem().string()) + "  Like ", 0), 0u)
                << mode << ": " << line;
        }
    }
}

TEST(ShippedModels, PhonemeSetHasDistinctIdsAndTemplatesForEveryPhoneme)
{
    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels((kSource / "Models").string() + "/", "phm");
    ASSERT_GT(phoneme.ModelCount(), 0);
    std::set<int32_t> ids;
    for (int32_t i = 0; i < phoneme.ModelCount(); ++i) {
        const TPhonemeModel& model = *phoneme.GetModel(i);
        EXPECT_TRUE(ids.insert(model.Id).second) << model.Chars;
        EXPECT_GT(model.Id, 0) << model.Chars;
        EXPECT_GE(model.Templates.size(), 1u) << model.Chars;
        EXPECT_LE(model.Templates.size(), 10u) << model.Chars;
    }
}

}  // namespace
