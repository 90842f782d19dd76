#include "Sovo.h"

#include <gtest/gtest.h>

#include "SovoError.h"
#include "TempDir.h"

namespace {

// One-column trajectory (phoneme id 1) with the given series.
TCommandTraj Series(const std::vector<double>& values, int32_t id = 1)
{
    TCommandTraj traj;
    InitCommandTraj(traj, 1, static_cast<int32_t>(values.size()));
    traj.Ids[0] = id;
    for (size_t i = 0; i < values.size(); ++i)
        traj.Rows[i][0] = values[i];
    return traj;
}

std::string TrajectoryBytes(const TCommandTraj& traj)
{
    std::string bytes = TempDir::Le32(static_cast<uint32_t>(traj.PhonemeCount)) +
                        TempDir::Le32(static_cast<uint32_t>(traj.AtomCount));
    for (const int32_t id : traj.Ids)
        bytes += TempDir::Le32(static_cast<uint32_t>(id));
    for (const TPhonemeName& name : traj.Names)
        bytes.append(name.data(), name.size());
    for (const auto& row : traj.Rows)
        bytes.append(reinterpret_cast<const char*>(row.data()), row.size() * sizeof(double));
    return bytes;
}

const std::vector<double> kUtterance = {0, 1, 0, 2, 0, 3, 1, 0};

class Facade : public testing::Test {
protected:
    // Command models named A, B, C, ... in that order, each with one stored trajectory.
    void LoadCommands(const std::vector<TCommandTraj>& stored)
    {
        for (size_t i = 0; i < stored.size(); ++i) {
            const std::string name(1, static_cast<char>('A' + i));
            dir.Write("Data/" + name + ".trj", TrajectoryBytes(stored[i]));
            dir.Write(name + ".vcm", "command=" + name + "\r\nmodel=data\\" + name + ".trj\r\n");
        }
        sovo.Dictionary->LoadModels(dir.Dir(), "vcm");
    }
    void Report() { sovo.TrajectoryReady(*sovo.Dictionary, Series(kUtterance)); }
    double ScoreOf(int32_t model) { return sovo.Dictionary->GetModel(model)->LastScore; }

    TempDir dir;
    TSovoObject sovo;
};

const TCommandTraj kSame = Series(kUtterance);
const TCommandTraj kClose = Series({0, 1, 0, 2, 1, 3, 1, 0});
const TCommandTraj kFar = Series({3, 0, 2, 0, 1, 0, 0, 1});
const TCommandTraj kUnknownPhoneme = Series(kUtterance, 99);   // scores exactly 0

TEST_F(Facade, TiedBestGoesToTheLaterModelAndTheRunnerUpIsTheNextLowerScore)
{
    LoadCommands({kSame, kSame, kFar});
    Report();
    EXPECT_EQ(sovo.CommandName, "B");
    EXPECT_EQ(sovo.Like, ScoreOf(0));
    EXPECT_EQ(sovo.Distance, ScoreOf(0) - ScoreOf(2));
    EXPECT_GT(sovo.Distance, 0.0);
}

TEST_F(Facade, RunnerUpIsTheLargestScoreBelowTheBestWhateverTheOrder)
{
    LoadCommands({kFar, kSame, kClose});
    Report();
    ASSERT_LT(ScoreOf(0), ScoreOf(2));
    EXPECT_EQ(sovo.CommandName, "B");
    EXPECT_EQ(sovo.Distance, ScoreOf(1) - ScoreOf(2));
}

TEST_F(Facade, ZeroScoresNeverCountAsRunnerUp)
{
    LoadCommands({kClose, kUnknownPhoneme});
    Report();
    EXPECT_EQ(ScoreOf(1), 0.0);
    EXPECT_EQ(sovo.Distance, sovo.Like);
}

TEST_F(Facade, NoCommandModelsStillReportsAResult)
{
    std::string reported;
    sovo.OnResult = [&reported](TSovoObject&, const std::string& name) { reported = name; };
    LoadCommands({});
    Report();
    EXPECT_EQ(reported, "Нет моделей команд");
    EXPECT_EQ(sovo.Like, -1.0);
    EXPECT_EQ(sovo.Distance, -1.0);
}

// The result names the nearest command either way; Accepted says whether it is taken as that command.
TEST_F(Facade, RejectionMarksAFarUtteranceAsNoCommandAndKeepsItsScores)
{
    LoadCommands({kClose, kFar});
    Report();
    ASSERT_TRUE(sovo.Accepted);   // classic matching rejects nothing unless asked
    const double like = sovo.Like;
    const struct {
        TRejection rejection;
        bool accepted;
    } cases[] = {
        {TRejection{TRejection::TKind::Threshold, like}, true},
        {TRejection{TRejection::TKind::Threshold, like + 1e-9}, false},
        {TRejection{TRejection::TKind::Off}, true},
    };
    for (const auto& c : cases) {
        sovo.SetRejection(c.rejection);
        Report();
        EXPECT_EQ(sovo.Accepted, c.accepted) << c.rejection.Like;
        EXPECT_EQ(sovo.CommandName, "A");
        EXPECT_EQ(sovo.Like, like);
    }
}

TEST_F(Facade, LastTrajectoryIsAnOwnCopy)
{
    LoadCommands({kSame});
    TCommandTraj traj = Series(kUtterance);
    sovo.TrajectoryReady(*sovo.Dictionary, traj);
    ClearCommandTraj(traj);
    EXPECT_EQ(sovo.LastTraj.AtomCount, static_cast<int32_t>(kUtterance.size()));
    EXPECT_EQ(sovo.LastTraj.Rows[3][0], 2.0);
}

// The facade with a file input, as the window drives it: the reference command models, the phoneme models
// only when a test loads them.
class FacadeOnFiles : public testing::Test {
protected:
    FacadeOnFiles()
    {
        sovo.Dictionary->LoadModels(kModels, "vcm");
        sovo.OnResult = [this](TSovoObject&, const std::string&) { ++results; };
        sovo.SetOnUtteranceEnd([this] { sovo.RecognizeUtterance(); });
        sovo.SetInput(&input);
    }
    ~FacadeOnFiles() override { sovo.SetInput(nullptr); }

    void LoadPhonemes() { sovo.Phoneme->LoadModels(kModels, "phm"); }
    void Recognize(const std::string& file)
    {
        input.SetName(file);
        sovo.Restart();
        input.Start();
    }
    std::string ErrorOf(const std::string& file)
    {
        try {
            Recognize(file);
        } catch (const ESovoError& e) {
            return e.what();
        }
        return "(no error)";
    }

    const std::string kModels = std::string(PARLANTO_GOLDEN_DIR) + "/models/";
    const std::string kOpen = std::string(PARLANTO_GOLDEN_DIR) + "/wav/open_test1.wav";
    TempDir dir;
    TSovoObject sovo;
    TSovoFileInput input{1024, 1, 22050, 2};
    int results = 0;
};

TEST_F(FacadeOnFiles, FileWithoutResultDoesNotBlockTheNextFile)
{
    LoadPhonemes();
    // Silence gives no atoms and so no result.
    const std::string silence = dir.WriteWav("silence.wav", std::vector<int16_t>(22050, 0));
    const std::string shortBlip = dir.WriteWav("blip.wav", std::vector<int16_t>(300, 8000));
    for (const std::string& file : {silence, shortBlip, silence}) {
        ASSERT_NO_THROW(Recognize(file)) << file;
        EXPECT_FALSE(input.IsRecording()) << file;
    }
    EXPECT_EQ(results, 0);

    Recognize(kOpen);
    EXPECT_EQ(results, 1);
    EXPECT_EQ(sovo.CommandName, "OPEN");
    EXPECT_FALSE(input.IsRecording());
}

// An error while recognizing ends the input's run too: the next file gets its own answer, not "already
// recording".
TEST_F(FacadeOnFiles, ErrorInRecognitionDoesNotBlockTheNextFile)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(ErrorOf(kOpen), "Нет ни одной модели фонемы.") << attempt;
        EXPECT_FALSE(input.IsRecording()) << attempt;
    }

    LoadPhonemes();
    sovo.OnResult = [this](TSovoObject&, const std::string&) {
        if (++results == 1)
            throw ESovoError("the result could not be shown");
    };
    EXPECT_EQ(ErrorOf(kOpen), "the result could not be shown");
    EXPECT_FALSE(input.IsRecording());
    EXPECT_EQ(ErrorOf(kOpen), "(no error)");
    EXPECT_EQ(results, 2);
}

std::vector<int16_t> Kept(const TSovoObject& sovo)
{
    const TBufferObject& kept = sovo.UtteranceSamples();
    return kept.Count() == 0 ? std::vector<int16_t>() : std::vector<int16_t>(kept.Data(), kept.Data() + kept.Count());
}

// The samples of the last utterance, as they came in: from a restart, or from the end of the one before, to
// the utterance's end; at most a minute of them; none unless asked for.
TEST(FacadeKeepingSamples, KeepsEachUtteranceAsItCameIn)
{
    TSovoObject sovo;
    const std::vector<int16_t> first(3000, 5);
    const std::vector<int16_t> second(2000, 7);
    sovo.InputData(first.data(), 3000);
    EXPECT_EQ(sovo.UtteranceSamples().Count(), 0) << "off unless asked for";

    sovo.KeepUtteranceSamples(true);
    sovo.InputData(first.data(), 1000);
    sovo.InputData(first.data() + 1000, 2000);
    EXPECT_EQ(Kept(sovo), first);
    sovo.InputData(nullptr, 0);
    EXPECT_EQ(Kept(sovo), first) << "the ended utterance stays until the next one's first sample";
    sovo.InputData(second.data(), 2000);
    EXPECT_EQ(Kept(sovo), second);
    sovo.Restart();
    EXPECT_EQ(sovo.UtteranceSamples().Count(), 0);

    const int32_t minute = TTeskProcessor::kMaxUtteranceAtoms * kHopSize;
    const std::vector<int16_t> overAMinute(static_cast<size_t>(minute) + 5000, 1);
    sovo.InputData(overAMinute.data(), static_cast<int32_t>(overAMinute.size()));
    sovo.InputData(overAMinute.data(), 100);
    EXPECT_EQ(sovo.UtteranceSamples().Count(), minute);
}

}  // namespace
