// The whole chain against reference values from an independent implementation: every final atom of 14
// utterances and the recognition result with the reference model folder, through the command-line program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGolden = PARLANTO_GOLDEN_DIR;

// The command's standard output; the run must succeed.
std::string RunCliOk(const std::string& arguments)
{
    const TCliRun run = RunCli(arguments);
    EXPECT_EQ(run.ExitCode, 0) << arguments;
    return run.Output;
}

std::vector<std::vector<std::string>> CsvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ','))
            fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Utterances()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGolden / "wav"))
        names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, AtomsMatchFieldForField)
{
    const auto expected = CsvRows(ReadText(kGolden / "expected" / (GetParam() + ".atoms.csv")));
    const auto actual = CsvRows(RunCliOk("atoms " + (kGolden / "wav" / (GetParam() + ".wav")).string()));
    ASSERT_EQ(actual.size(), expected.size()) << "atom count differs";
    ASSERT_EQ(actual[0], expected[0]);
    for (size_t row = 1; row < expected.size(); ++row) {
        ASSERT_EQ(actual[row].size(), expected[row].size()) << "row " << row;
        for (size_t column = 0; column < expected[row].size(); ++column) {
            const std::string& name = expected[0][column];
            if (name == "EnvelopeBytes" || name == "index" || name == "SampleCount" || name == "Quiet")
                EXPECT_EQ(actual[row][column], expected[row][column]) << name << " of atom " << row - 1;
            else
                EXPECT_EQ(std::stod(actual[row][column]), std::stod(expected[row][column]))
                    << name << " of atom " << row - 1;
        }
    }
}

TEST_P(Golden, RecognitionMatchesLikeDistanceAndEveryModelScore)
{
    const std::string expected = ReadText(kGolden / "expected" / (GetParam() + ".recognize.txt"));
    const std::string actual = RunCliOk("recognize --fresh --json --match classic --models " + (kGolden / "models").string() + " " +
                                      (kGolden / "wav" / (GetParam() + ".wav")).string());

    std::smatch result;
    ASSERT_TRUE(std::regex_search(expected, result,
                                  std::regex(R"(result: (\S+)\s+Like=(\S+) .*Distance=(\S+) )")));
    std::smatch got;
    ASSERT_TRUE(std::regex_search(
        actual, got, std::regex(R"re("command": "([^"]+)", "like": ([^,]+), "distance": ([^,]+),)re")))
        << actual;
    EXPECT_EQ(got[1].str(), result[1].str());
    EXPECT_NEAR(std::stod(got[2].str()), std::stod(result[2].str()), 1e-12);
    EXPECT_NEAR(std::stod(got[3].str()), std::stod(result[3].str()), 1e-12);

    const std::regex expectedModel(R"(model (\S+)\s+LastScore=(\S+))");
    int models = 0;
    for (auto it = std::sregex_iterator(expected.begin(), expected.end(), expectedModel);
         it != std::sregex_iterator(); ++it, ++models) {
        std::smatch score;
        const std::regex actualModel("\"name\": \"" + (*it)[1].str() + "\", \"score\": ([^}]+)\\}");
        ASSERT_TRUE(std::regex_search(actual, score, actualModel)) << (*it)[1].str();
        EXPECT_NEAR(std::stod(score[1].str()), std::stod((*it)[2].str()), 1e-12) << (*it)[1].str();
    }
    EXPECT_EQ(models, 3);
}

INSTANTIATE_TEST_SUITE_P(Utterances, Golden, testing::ValuesIn(Utterances()));

}  // namespace
