// Every file of a fuzz target's seed corpus and of its saved crashers goes through the entry function that the
// target's fuzzer runs: the crashers stay fixed, and the seeds stay meaningful inputs, in the regular build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzEntries.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (fs::is_directory(folder)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Replay(const TFuzzEntry& entry, const std::vector<fs::path>& files)
{
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const std::vector<uint8_t> bytes = ReadBytes(file);
        EXPECT_NO_THROW(EXPECT_EQ(entry.Run(bytes.data(), bytes.size()), 0));
    }
}

class FuzzInputs : public ::testing::TestWithParam<TFuzzEntry> {};

TEST_P(FuzzInputs, SeedCorpusRunsCleanly)
{
    const std::vector<fs::path> seeds = FilesIn(fs::path(PARLANTO_FUZZ_DIR) / "corpus" / GetParam().Name);
    ASSERT_FALSE(seeds.empty());
    Replay(GetParam(), seeds);
}

// Only targets that have found something have a folder of saved crashers; each must name its target.
TEST(SavedCrashers, RunCleanlyThroughTheTargetThatFoundThem)
{
    int32_t folders = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(fs::path(PARLANTO_FUZZ_DIR) / "regressions")) {
        SCOPED_TRACE(folder.path().string());
        const auto entry = std::find_if(FuzzEntries().begin(), FuzzEntries().end(), [&folder](const TFuzzEntry& e) {
            return folder.path().filename() == e.Name;
        });
        ASSERT_NE(entry, FuzzEntries().end()) << "a folder of saved crashers that names no fuzz target";
        const std::vector<fs::path> crashers = FilesIn(folder.path());
        EXPECT_FALSE(crashers.empty());
        Replay(*entry, crashers);
        ++folders;
    }
    EXPECT_GT(folders, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(FuzzEntries().begin(), FuzzEntries().end()),
                         [](const ::testing::TestParamInfo<TFuzzEntry>& info) { return std::string(info.param.Name); });

}  // namespace
