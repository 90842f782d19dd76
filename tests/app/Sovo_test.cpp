#include "Sovo.h"

#include <gtest/gtest.h>

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

TEST_F(Facade, LastTrajectoryIsAnOwnCopy)
{
    LoadCommands({kSame});
    TCommandTraj traj = Series(kUtterance);
    sovo.TrajectoryReady(*sovo.Dictionary, traj);
    ClearCommandTraj(traj);
    EXPECT_EQ(sovo.LastTraj.AtomCount, static_cast<int32_t>(kUtterance.size()));
    EXPECT_EQ(sovo.LastTraj.Rows[3][0], 2.0);
}

TEST_F(Facade, FileWithoutResultDoesNotBlockTheNextFile)
{
    // Phoneme and command models from the reference set; silence gives no atoms and so no result.
    sovo.Phoneme->LoadModels(std::string(PARLANTO_GOLDEN_DIR) + "/models/", "phm");
    sovo.Dictionary->LoadModels(std::string(PARLANTO_GOLDEN_DIR) + "/models/", "vcm");
    int results = 0;
    sovo.OnResult = [&results](TSovoObject&, const std::string&) { ++results; };
    sovo.SetOnUtteranceEnd([this] { sovo.RecognizeUtterance(); });
    TSovoFileInput input(1024, 1, 22050, 2);
    sovo.SetInput(&input);

    const std::string silence = dir.WriteWav("silence.wav", std::vector<int16_t>(22050, 0));
    const std::string shortBlip = dir.WriteWav("blip.wav", std::vector<int16_t>(300, 8000));
    for (const std::string& file : {silence, shortBlip, silence}) {
        input.SetName(file);
        sovo.Restart();
        ASSERT_NO_THROW(input.Start()) << file;
        EXPECT_FALSE(input.IsRecording()) << file;
    }
    EXPECT_EQ(results, 0);

    input.SetName(std::string(PARLANTO_GOLDEN_DIR) + "/wav/open_test1.wav");
    sovo.Restart();
    input.Start();
    EXPECT_EQ(results, 1);
    EXPECT_EQ(sovo.CommandName, "OPEN");
    EXPECT_FALSE(input.IsRecording());
    sovo.SetInput(nullptr);
}

}  // namespace
