// The reference atoms of each recorded utterance, classified with the reference model set, must give the
// reference scores of every command model and the reference winning phoneme of every atom.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SovoDict.h"
#include "SovoPhon.h"

namespace {

const std::string kGolden = PARLANTO_GOLDEN_DIR;

double ParseDouble(const std::string& text)
{
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');)
        fields.push_back(field);
    return fields;
}

// Only what the phoneme layer reads of an atom: its Level and its envelope bytes.
TArrayAtoms ReadAtoms(const std::string& fileName)
{
    std::ifstream file(fileName);
    std::string line;
    std::getline(file, line);   // column names
    TArrayAtoms atoms;
    while (std::getline(file, line)) {
        const std::vector<std::string> fields = SplitCsv(line);
        if (fields.size() != 8 || fields[7].size() != 2 * kBandCount) {
            ADD_FAILURE() << "bad atom line in " << fileName;
            break;
        }
        TAtom atom;
        atom.Level = ParseDouble(fields[6]);
        for (size_t i = 0; i < kBandCount; ++i)
            atom.EnvelopeBytes[i] = static_cast<uint8_t>(std::stoi(fields[7].substr(2 * i, 2), nullptr, 16));
        atoms.push_back(atom);
    }
    return atoms;
}

struct TExpectedResult {
    std::string best;
    std::vector<std::pair<std::string, double>> scores;   // per model, in listing order
    std::string winners;                                   // first letter of the winning phoneme per atom
};

// The text after "key" up to the next blank.
std::string WordAfter(const std::string& line, const std::string& key)
{
    const size_t start = line.find(key) + key.size();
    return line.substr(start, line.find(' ', start) - start);
}

TExpectedResult ReadExpected(const std::string& fileName)
{
    std::ifstream file(fileName);
    TExpectedResult expected;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first == "result:")
            expected.best = second;
        else if (first == "model")
            expected.scores.emplace_back(second, ParseDouble(WordAfter(line, "LastScore=")));
        else if (line.find("winning phoneme per atom: ") != std::string::npos)
            expected.winners = WordAfter(line, "atom: ");
    }
    return expected;
}

class RecognitionGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(RecognitionGolden, ReferenceAtomsGiveTheReferenceScores)
{
    TTeskPhoneme phoneme;
    TTeskDictionary dictionary;
    std::string winners;
    int trajectories = 0;
    phoneme.OnModelsChanged = [&](TTeskPhoneme& sender) { dictionary.PhonemesChanged(sender); };
    phoneme.OnAtomClassified = [&](TTeskPhoneme& sender, const TPhonemeDecision& decision, bool last) {
        winners += decision.Name[0];
        dictionary.AddPhonemeScores(sender, last);
    };
    dictionary.OnTrajectoryReady = [&](TTeskDictionary& sender, const TCommandTraj& traj) {
        ++trajectories;
        sender.Recognize(traj);
    };
    phoneme.LoadModels(kGolden + "/models\\", "phm");
    dictionary.LoadModels(kGolden + "/models\\", "vcm");

    const TArrayAtoms atoms = ReadAtoms(kGolden + "/expected/" + GetParam() + ".atoms.csv");
    const TExpectedResult expected = ReadExpected(kGolden + "/expected/" + GetParam() + ".recognize.txt");
    ASSERT_FALSE(atoms.empty());
    phoneme.ClassifyAtoms(atoms);

    EXPECT_EQ(trajectories, 1);
    EXPECT_EQ(dictionary.Trajectory.AtomCount, static_cast<int32_t>(atoms.size()) - 1);
    EXPECT_EQ(winners, expected.winners);
    EXPECT_EQ(dictionary.BestName, expected.best);
    ASSERT_EQ(dictionary.ModelCount(), static_cast<int32_t>(expected.scores.size()));
    for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
        const auto& [name, score] = expected.scores[static_cast<size_t>(i)];
        EXPECT_EQ(dictionary.GetModel(i)->Name, name);
        EXPECT_EQ(dictionary.GetModel(i)->LastScore, score) << name;   // bit for bit
    }
}

INSTANTIATE_TEST_SUITE_P(Utterances, RecognitionGolden,
                         ::testing::Values("vowel_a", "vowel_e", "vowel_i", "vowel_o", "vowel_u",
                                           "open_train1", "open_train2", "open_test1",
                                           "close_train1", "close_train2", "close_test1",
                                           "stop_train1", "stop_train2", "stop_test1"));

}  // namespace
