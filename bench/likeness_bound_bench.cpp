// The classic likeness's upper bound from a take's compact form (ColumnLikenessBound.h): per take for a
// second of utterance (383 rows) against a 430-row take of 64 columns, then over the 1500 takes of the
// 500-command vocabulary (ManyCommandModels.h) against a noisy utterance: its cost per take beside the
// exact likeness's, and how far above the exact likeness it lands (above_median, above_p90; unbounded counts
// the takes it gives up on). Making the model folder takes a while before the first figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "BenchAudio.h"
#include "ColumnLikeness.h"
#include "ColumnLikenessBound.h"
#include "CompactScores.h"
#include "FileRecognizer.h"
#include "ManyCommandModels.h"

namespace {

constexpr uint32_t kCommands = 500;

TCompactScores CompactOf(const TCommandTraj& take)
{
    std::vector<const double*> rows;
    for (const std::vector<double>& row : take.Rows)
        rows.push_back(row.data());
    return CompactScoresOf(rows, take.Ids.size()).value_or(TCompactScores{});
}

// Scores in 0..1, a third of them 0, as phoneme scores often are.
TCommandTraj RandomTrajectory(size_t rows, std::mt19937& rng)
{
    constexpr size_t kColumns = 64;
    std::uniform_real_distribution<double> score(0.0, 1.0);
    TCommandTraj traj;
    InitCommandTraj(traj, kColumns, static_cast<int32_t>(rows));
    std::iota(traj.Ids.begin(), traj.Ids.end(), 1);
    for (std::vector<double>& row : traj.Rows) {
        for (double& value : row)
            value = score(rng) < 0.33 ? 0.0 : score(rng);
    }
    return traj;
}

void BoundOfA430RowTake(benchmark::State& state)
{
    std::mt19937 rng(3);
    const TCommandTraj utterance = RandomTrajectory(383, rng);
    const TCommandTraj take = RandomTrajectory(430, rng);
    const TCompactScores compact = CompactOf(take);
    const TColumnLikenessBound bound(utterance);
    for (auto _ : state)
        benchmark::DoNotOptimize(bound.AtMost(compact, take.Ids));
}
BENCHMARK(BoundOfA430RowTake)->Unit(benchmark::kMicrosecond);

struct TBoundSetup {
    TCommandTraj utterance;
    double audioSeconds = 0.0;
    std::vector<TCommandTraj> takes;
    std::vector<TCompactScores> compact;   // beside takes

    TBoundSetup()
    {
        const bench::TManyCommandModels models(kCommands);
        const std::string wav = models.UtteranceWav(0);
        audioSeconds = static_cast<double>(bench::ReadSamples(wav).size()) / kSampleRate;
        TFileRecognizer recognizer(models.Dir(), TMatchMode::Classic);
        recognizer.RecognizeFresh(wav);
        utterance = recognizer.Sovo().LastTraj;
        TTeskDictionary& dictionary = *recognizer.Sovo().Dictionary;
        for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
            for (const TCommandTraj& take : dictionary.GetModel(i)->FullTrajectories()) {
                takes.push_back(take);
                compact.push_back(CompactOf(take));
            }
        }
    }
};

const TBoundSetup& Setup()
{
    static const TBoundSetup setup;
    return setup;
}

void Describe(benchmark::State& state, const TBoundSetup& setup)
{
    std::vector<double> rows;
    for (const TCommandTraj& take : setup.takes)
        rows.push_back(static_cast<double>(take.Rows.size()));
    std::nth_element(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.size() / 2), rows.end());
    state.counters["takes"] = static_cast<double>(setup.takes.size());
    state.counters["take_rows_median"] = rows.empty() ? 0.0 : rows[rows.size() / 2];
    state.counters["utterance_rows"] = static_cast<double>(setup.utterance.Rows.size());
    state.counters["audio_s"] = setup.audioSeconds;
    state.counters["us_per_take"] = benchmark::Counter(
        static_cast<double>(setup.takes.size()) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

double Quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    const auto at = static_cast<std::ptrdiff_t>(q * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[static_cast<size_t>(at)];
}

// Every take's bound, readied once for the utterance as the dictionary would.
void BoundEveryTake(benchmark::State& state)
{
    const TBoundSetup& setup = Setup();
    for (auto _ : state) {
        const TColumnLikenessBound bound(setup.utterance);
        for (size_t i = 0; i < setup.takes.size(); ++i)
            benchmark::DoNotOptimize(bound.AtMost(setup.compact[i], setup.takes[i].Ids));
    }
    Describe(state, setup);
    const TColumnLikenessBound bound(setup.utterance);
    std::vector<double> above;
    double unbounded = 0.0;
    for (size_t i = 0; i < setup.takes.size(); ++i) {
        const double atMost = bound.AtMost(setup.compact[i], setup.takes[i].Ids);
        if (std::isfinite(atMost))
            above.push_back(atMost - AverageColumnLikeness(setup.utterance, setup.takes[i]));
        else
            unbounded += 1.0;
    }
    state.counters["above_median"] = Quantile(above, 0.5);
    state.counters["above_p90"] = Quantile(above, 0.9);
    state.counters["unbounded"] = unbounded;
}
BENCHMARK(BoundEveryTake)->Unit(benchmark::kMillisecond);

// The exact likeness of every take in full, for comparison.
void ExactEveryTake(benchmark::State& state)
{
    const TBoundSetup& setup = Setup();
    for (auto _ : state) {
        for (const TCommandTraj& take : setup.takes)
            benchmark::DoNotOptimize(AverageColumnLikeness(setup.utterance, take));
    }
    Describe(state, setup);
}
BENCHMARK(ExactEveryTake)->Unit(benchmark::kMillisecond);

}  // namespace
