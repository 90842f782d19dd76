// A recognizer started fresh for each file answers exactly as a recognizer made anew for that file, whatever
// it heard before, and loads no model to do so.
#include "FileRecognizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kGolden = PARLANTO_GOLDEN_DIR;

// Every reference utterance, in name order, and before them a second of digital silence (no result) and a
// loud hum that the pre-processor's smoothing would carry into the next file.
std::vector<std::string> Files(TempDir& dir)
{
    std::vector<std::string> files{dir.WriteWav("silence.wav", std::vector<int16_t>(22050, 0))};
    std::vector<int16_t> hum(33075);
    for (size_t i = 0; i < hum.size(); ++i)
        hum[i] = static_cast<int16_t>(i % 50 < 25 ? 12000 : -12000);
    files.push_back(dir.WriteWav("hum.wav", hum));
    std::vector<std::string> speech;
    for (const auto& entry : fs::directory_iterator(kGolden + "/wav"))
        speech.push_back(entry.path().string());
    std::sort(speech.begin(), speech.end());
    files.insert(files.end(), speech.begin(), speech.end());
    return files;
}

// Everything a result tells, every number to the last bit.
std::string Described(const TFileResult& result)
{
    char number[64];
    const auto exact = [&number](double value) {
        std::snprintf(number, sizeof number, " %a", value);
        return std::string(number);
    };
    std::string text = result.Recognized ? "recognized " : "no result ";
    text += result.CommandName + (result.Accepted ? " accepted" : " rejected") + exact(result.Like) +
            exact(result.Distance);
    for (const TModelScore& model : result.Models)
        text += "\n" + model.Name + exact(model.Score);
    return text;
}

class FreshStart : public testing::TestWithParam<TMatchMode> {};

TEST_P(FreshStart, AnswersAndTrajectoriesEqualThoseOfANewRecognizerPerFile)
{
    TempDir dir;
    const std::vector<std::string> files = Files(dir);
    TFileRecognizer running(kGolden + "/models/", GetParam());
    running.Sovo().SetRejection(TRejection{TRejection::TKind::On});
    // Forwards and backwards: each file follows different ones.
    for (const bool backwards : {false, true}) {
        std::vector<std::string> order = files;
        if (backwards)
            std::reverse(order.begin(), order.end());
        for (const std::string& file : order) {
            TFileRecognizer made(kGolden + "/models/", GetParam());
            made.Sovo().SetRejection(TRejection{TRejection::TKind::On});
            const TFileResult expected = made.Recognize(file);
            EXPECT_EQ(Described(running.RecognizeFresh(file)), Described(expected)) << file;
            EXPECT_EQ(running.Sovo().LastTraj.Rows, made.Sovo().LastTraj.Rows) << file;
            EXPECT_EQ(running.Sovo().Processor->Atoms.size(), made.Sovo().Processor->Atoms.size()) << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothMatchers, FreshStart, testing::Values(TMatchMode::Classic, TMatchMode::Aligned),
                         [](const testing::TestParamInfo<TMatchMode>& info) {
                             return info.param == TMatchMode::Classic ? "Classic" : "Aligned";
                         });

// What the last utterance left (its trajectory, result and scores) is gone after a fresh start, as in a new
// recognizer: nothing of it can be saved as a model or shown.
TEST(FreshStartState, ForgetsTheLastUtterance)
{
    TFileRecognizer recognizer(kGolden + "/models/", TMatchMode::Classic);
    ASSERT_TRUE(recognizer.Recognize(kGolden + "/wav/open_test1.wav").Recognized);
    TSovoObject& sovo = recognizer.Sovo();
    sovo.StartFresh();
    EXPECT_EQ(sovo.LastTraj.AtomCount, 0);
    EXPECT_EQ(sovo.Dictionary->Trajectory.AtomCount, 0);
    EXPECT_TRUE(sovo.Dictionary->BestName.empty());
    EXPECT_TRUE(sovo.CommandName.empty());
    EXPECT_EQ(sovo.Like, 0.0);
    for (int32_t i = 0; i < sovo.Dictionary->ModelCount(); ++i)
        EXPECT_EQ(sovo.Dictionary->GetModel(i)->LastScore, 0.0);
    EXPECT_TRUE(sovo.Processor->Atoms.empty());
}

}  // namespace
