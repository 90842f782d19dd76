// In a large vocabulary only the commands that may be the best or the runner-up are scored exactly, their takes
// read again from files: every answer (command, Like, Distance, accepted or not) is that of scoring every
// command with every row in memory, to the last bit, and a command left with its bound is never below its exact
// score.
#include "FileRecognizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../../bench/ManyCommandModels.h"

namespace {

// Commands 0..18 are one source word each, 19..23 the first five again in takes of their own: near ties.
constexpr uint32_t kCommands = 24;

class LargeVocabulary : public testing::TestWithParam<TMatchMode> {
protected:
    static void SetUpTestSuite() { models_ = std::make_unique<bench::TManyCommandModels>(kCommands); }
    static void TearDownTestSuite() { models_.reset(); }

    static std::vector<std::string> Utterances()
    {
        std::vector<std::string> files = bench::SourceWavs();
        for (uint32_t seed = 0; seed < 3; ++seed)
            files.push_back(models_->UtteranceWav(seed));
        return files;
    }

    static std::unique_ptr<bench::TManyCommandModels> models_;
};

std::unique_ptr<bench::TManyCommandModels> LargeVocabulary::models_;

TEST_P(LargeVocabulary, ContendersAloneGiveEveryAnswerOfScoringAllAndBoundsNeverBelow)
{
    TFileRecognizer every(models_->Dir(), GetParam());
    TFileRecognizer contenders(models_->Dir(), GetParam());
    TTeskDictionary& dictionary = *contenders.Sovo().Dictionary;
    dictionary.ScoreEveryCommandUpTo = 0;
    dictionary.KeptRowBytes = 0;
    dictionary.LoadModels(models_->Dir(), "vcm");
    ASSERT_EQ(dictionary.ModelCount(), static_cast<int32_t>(kCommands));
    ASSERT_TRUE(dictionary.GetModel(0)->Trajectories[0].Rows.empty());

    int bounded = 0;
    for (const std::string& wav : Utterances()) {
        const TFileResult expected = every.RecognizeFresh(wav);
        const TFileResult actual = contenders.RecognizeFresh(wav);
        ASSERT_TRUE(expected.Recognized) << wav;
        EXPECT_EQ(actual.Recognized, expected.Recognized) << wav;
        EXPECT_EQ(actual.CommandName, expected.CommandName) << wav;
        EXPECT_EQ(actual.Accepted, expected.Accepted) << wav;
        EXPECT_EQ(actual.Like, expected.Like) << wav;
        EXPECT_EQ(actual.Distance, expected.Distance) << wav;
        for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
            const TVoiceCommandModel& model = *dictionary.GetModel(i);
            const double exact = every.Sovo().Dictionary->GetModel(i)->LastScore;
            if (model.LastScoreExact) {
                EXPECT_EQ(model.LastScore, exact) << wav << " " << model.Name;
            } else {
                EXPECT_GE(model.LastScore, exact) << wav << " " << model.Name;
                ++bounded;
            }
        }
    }
    // The first pass must rule out some commands, or it saves nothing.
    EXPECT_GT(bounded, 0);
}

INSTANTIATE_TEST_SUITE_P(BothMatchers, LargeVocabulary, testing::Values(TMatchMode::Classic, TMatchMode::Aligned),
                         [](const auto& info) { return std::string(MatchModeName(info.param)); });

}  // namespace
