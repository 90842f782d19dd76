// The bounds of the aligned distance from a take's compact speech frames (AlignedDistanceBound.h, the one over
// blocks in CoarseAlignmentBound.h) over the 1500 takes of the 500-command vocabulary (ManyCommandModels.h) against a noisy utterance: what each costs
// per take, next to the exact distance, and how far below the exact distance each lands (as a distance and as
// the factor by which the likeness it allows exceeds the exact likeness; median and 90th percentile).
// Making the model folder takes a while before the first figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "AlignedLikeness.h"
#include "FileRecognizer.h"
#include "ManyCommandModels.h"

namespace {

struct TTake {
    TCommandTraj Traj;
    TCompactScores Frames;
};

struct TBoundSetup {
    TCommandTraj utterance;
    double audioSeconds = 0.0;
    std::vector<TTake> takes;

    TBoundSetup()
    {
        const bench::TManyCommandModels models(500);
        TFileRecognizer recognizer(models.Dir(), TMatchMode::Aligned);
        const std::string wav = models.UtteranceWav(0);
        recognizer.RecognizeFresh(wav);
        audioSeconds = static_cast<double>(bench::ReadSamples(wav).size()) / kSampleRate;
        utterance = recognizer.Sovo().LastTraj;
        TTeskDictionary& dictionary = *recognizer.Sovo().Dictionary;
        for (int32_t i = 0; i < dictionary.ModelCount(); ++i) {
            for (const TCommandTraj& traj : dictionary.GetModel(i)->FullTrajectories()) {
                const TFrameSeries frames = StoredSpeechFrames(traj);
                std::vector<const double*> rows;
                for (size_t j = 0; j < frames.Count(); ++j)
                    rows.push_back(frames.Frame(j));
                takes.push_back({traj, CompactScoresOf(rows, frames.Width).value()});
            }
        }
    }
};

const TBoundSetup& Setup()
{
    static const TBoundSetup setup;
    return setup;
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
}

enum class TBound { Blocks, Aligned, Exact };

double DistanceOf(const TAlignedMatcher& matcher, const TTake& take, TBound bound)
{
    switch (bound) {
    case TBound::Blocks:
        return matcher.BlockDistanceAtLeast(take.Frames, take.Traj.Ids);
    case TBound::Aligned:
        return matcher.DistanceAtLeast(take.Frames, take.Traj.Ids, std::numeric_limits<double>::infinity());
    case TBound::Exact:
        break;
    }
    return matcher.Distance(take.Traj);
}

// Per command (its takes follow one another), the smallest distance or bound of its takes.
std::vector<double> BestOfEachCommand(const TAlignedMatcher& matcher, const TBoundSetup& setup, TBound bound)
{
    std::vector<double> best;
    const size_t takes = bench::TManyCommandModels::kTakes;
    for (size_t t = 0; t < setup.takes.size(); t += takes) {
        double smallest = std::numeric_limits<double>::infinity();
        for (size_t k = t; k < t + takes; ++k)
            smallest = std::min(smallest, DistanceOf(matcher, setup.takes[k], bound));
        best.push_back(smallest);
    }
    return best;
}

// The second smallest.
double RunnerUp(std::vector<double> distances)
{
    std::sort(distances.begin(), distances.end());
    return distances[1];
}

// Every take once per iteration; the time is given per take.
void BoundEveryTake(benchmark::State& state)
{
    const auto bound = static_cast<TBound>(state.range(0));
    const TBoundSetup& setup = Setup();
    const TAlignedMatcher matcher(setup.utterance);
    for (auto _ : state) {
        for (const TTake& take : setup.takes)
            benchmark::DoNotOptimize(DistanceOf(matcher, take, bound));
    }
    std::vector<double> below, likenessFactor, rows;
    for (const TTake& take : setup.takes) {
        const double exact = matcher.Distance(take.Traj);
        const double lower = DistanceOf(matcher, take, bound);
        below.push_back(exact - lower);
        likenessFactor.push_back(LikenessOfDistance(lower) / LikenessOfDistance(exact));
        rows.push_back(static_cast<double>(take.Traj.AtomCount));
    }
    const char* names[] = {"blocks", "aligned", "exact"};
    state.SetLabel(names[state.range(0)]);
    state.counters["us_per_take"] = benchmark::Counter(static_cast<double>(setup.takes.size()) * 1e-6,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
    state.counters["below_median"] = Percentile(below, 0.5);
    state.counters["below_p90"] = Percentile(below, 0.9);
    state.counters["likeness_x_median"] = Percentile(likenessFactor, 0.5);
    state.counters["likeness_x_p90"] = Percentile(likenessFactor, 0.9);
    state.counters["take_rows_median"] = Percentile(rows, 0.5);
    state.counters["utterance_rows"] = setup.utterance.AtomCount;
    state.counters["utterance_s"] = setup.audioSeconds;
}
BENCHMARK(BoundEveryTake)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// How many of the 500 commands each bound rules out at once: those whose every take's bound lies beyond the
// runner-up's exact distance (the best two commands are always scored exactly).
void CommandsRuledOut(benchmark::State& state)
{
    const auto bound = static_cast<TBound>(state.range(0));
    const TBoundSetup& setup = Setup();
    const TAlignedMatcher matcher(setup.utterance);
    const std::vector<double> boundBest = BestOfEachCommand(matcher, setup, bound);
    const double runnerUp = RunnerUp(BestOfEachCommand(matcher, setup, TBound::Exact));
    double ruledOut = 0;
    for (auto _ : state) {
        ruledOut = 0;
        for (const double lower : boundBest)
            ruledOut += lower > runnerUp ? 1 : 0;
        benchmark::DoNotOptimize(ruledOut);
    }
    const char* names[] = {"blocks", "aligned"};
    state.SetLabel(names[state.range(0)]);
    state.counters["ruled_out"] = ruledOut;
    state.counters["commands"] = static_cast<double>(boundBest.size());
}
BENCHMARK(CommandsRuledOut)->DenseRange(0, 1)->Iterations(1);

// The three steps as a dictionary would take them, with the runner-up's exact distance known beforehand (the
// dictionary learns it on the way, so this is the least it would do): the alignment over blocks of every take,
// the alignment over compact frames of the takes the blocks leave open, giving up above the runner-up, and the
// exact distance of the takes still open (here from memory; the dictionary reads their rows first).
void ThreeStepsOverAllTakes(benchmark::State& state)
{
    const TBoundSetup& setup = Setup();
    const TAlignedMatcher matcher(setup.utterance);
    const double runnerUp = RunnerUp(BestOfEachCommand(matcher, setup, TBound::Exact));
    size_t aligned = 0, exactly = 0;
    for (auto _ : state) {
        aligned = exactly = 0;
        for (const TTake& take : setup.takes) {
            if (matcher.BlockDistanceAtLeast(take.Frames, take.Traj.Ids) > runnerUp)
                continue;
            ++aligned;
            if (matcher.DistanceAtLeast(take.Frames, take.Traj.Ids, runnerUp) > runnerUp)
                continue;
            ++exactly;
            benchmark::DoNotOptimize(matcher.Distance(take.Traj));
        }
    }
    state.counters["takes"] = static_cast<double>(setup.takes.size());
    state.counters["aligned_takes"] = static_cast<double>(aligned);
    state.counters["exact_takes"] = static_cast<double>(exactly);
    state.counters["ms_per_audio_s"] = benchmark::Counter(
        setup.audioSeconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ThreeStepsOverAllTakes)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
