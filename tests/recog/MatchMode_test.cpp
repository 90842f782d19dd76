// The dictionary's match mode: classic unless chosen, and choosing aligned changes nothing in classic results.
#include "MatchMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "AlignedLikeness.h"
#include "ModelFolder.h"
#include "SovoDict.h"
#include "TrajectoryMaker.h"

namespace {

TEST(MatchMode, KnownByItsLowerCaseName)
{
    EXPECT_EQ(MatchModeNamed("classic"), TMatchMode::Classic);
    EXPECT_EQ(MatchModeNamed("aligned"), TMatchMode::Aligned);
    for (const char* name : {"Aligned", "CLASSIC", "", "aligned ", "dtw"})
        EXPECT_EQ(MatchModeNamed(name), std::nullopt) << name;
    EXPECT_STREQ(MatchModeName(TMatchMode::Classic), "classic");
    EXPECT_STREQ(MatchModeName(TMatchMode::Aligned), "aligned");
}

// Scores of two phonemes (ids 1 and 2) over rows: a hump of the first phoneme, then of the second, the word
// starting after lead rows of low noise.
TCommandTraj Hump(size_t lead, size_t first, size_t second)
{
    std::vector<std::vector<double>> rows(lead, {0.05, 0.05});
    for (size_t j = 0; j < first; ++j)
        rows.push_back({std::sin(3.14159 * static_cast<double>(j) / static_cast<double>(first)), 0.1});
    for (size_t j = 0; j < second; ++j)
        rows.push_back({0.1, std::sin(3.14159 * static_cast<double>(j) / static_cast<double>(second))});
    rows.insert(rows.end(), 20, {0.05, 0.05});
    return MakeTraj({1, 2}, rows);
}

struct TScores {
    std::string BestName;
    double BestScore = 0.0;
    std::vector<double> LastScores;

    bool operator==(const TScores&) const = default;
};

class ModeSelection : public ::testing::Test {
protected:
    ModeSelection()
    {
        folder.MakeDirectory("Models/Data");
        const std::vector<std::pair<std::string, std::vector<TCommandTraj>>> commands = {
            {"ab", {Hump(10, 40, 60), Hump(30, 50, 50)}},
            {"ba", {MakeTraj({2, 1}, Hump(10, 40, 60).Rows)}},
            {"long", {Hump(5, 90, 20), Hump(120, 80, 30)}},
        };
        for (const auto& [name, trajectories] : commands) {
            std::string vcm = "command=" + name + "\r\n";
            for (size_t k = 0; k < trajectories.size(); ++k) {
                const std::string file = name + std::to_string(k) + ".trj";
                WriteTrajectory(folder.Path("Models/Data/" + file), trajectories[k]);
                vcm += "model=DATA\\" + file + "\r\n";
            }
            folder.WriteText("Models/" + name + ".vcm", vcm);
        }
    }

    TScores Recognize(TTeskDictionary& dictionary)
    {
        dictionary.Recognize(utterance);
        TScores scores{dictionary.BestName, dictionary.BestScore, {}};
        for (int32_t i = 0; i < dictionary.ModelCount(); ++i)
            scores.LastScores.push_back(dictionary.GetModel(i)->LastScore);
        return scores;
    }

    TScores Fresh(TMatchMode mode)
    {
        TTeskDictionary dictionary;
        dictionary.LoadModels(folder.Path("Models/"), "vcm");
        dictionary.MatchMode = mode;
        return Recognize(dictionary);
    }

    TModelFolder folder;
    const TCommandTraj utterance = Hump(150, 45, 55);
};

TEST_F(ModeSelection, ClassicUnlessChosenAndUntouchedByAlignedRuns)
{
    TTeskDictionary dictionary;
    EXPECT_EQ(dictionary.MatchMode, TMatchMode::Classic);
    dictionary.LoadModels(folder.Path("Models/"), "vcm");
    const TScores classic = Recognize(dictionary);
    EXPECT_EQ(classic, Fresh(TMatchMode::Classic));

    dictionary.MatchMode = TMatchMode::Aligned;
    const TScores aligned = Recognize(dictionary);
    EXPECT_NE(aligned.LastScores, classic.LastScores);
    dictionary.MatchMode = TMatchMode::Classic;
    EXPECT_EQ(Recognize(dictionary), classic);

    TVoiceCommandModel& model = *dictionary.GetModel(0);
    EXPECT_EQ(model.Score(utterance), model.Score(utterance, TMatchMode::Classic));
}

TEST_F(ModeSelection, AlignedScoresAreTheBestAlignedLikenessOfEachModel)
{
    TTeskDictionary dictionary;
    dictionary.LoadModels(folder.Path("Models/"), "vcm");
    dictionary.MatchMode = TMatchMode::Aligned;
    const TScores scores = Recognize(dictionary);
    for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
        const TVoiceCommandModel& model = *dictionary.GetModel(i);
        double best = 0.0;
        for (const TCommandTraj& stored : model.Trajectories)
            best = std::max(best, AlignedLikeness(utterance, stored));
        EXPECT_EQ(scores.LastScores[static_cast<size_t>(i)], best) << model.Name;
    }
    // The long noise lead hides the word from classic matching, not from aligned matching; the same rows
    // under swapped ids are another word.
    EXPECT_EQ(Fresh(TMatchMode::Classic).BestName, "LONG");
    EXPECT_EQ(scores.BestName, "AB");
    EXPECT_EQ(scores.BestScore, scores.LastScores[0]);
    EXPECT_LT(scores.LastScores[1], 0.1 * scores.BestScore);
    EXPECT_LT(scores.LastScores[2], scores.BestScore);
}

}  // namespace
