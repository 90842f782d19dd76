// Cost of matching in each mode with ten commands of three takes each, as a user in a noisy room would have
// them (every take and the utterance recorded in the noisy room, so the trajectories are long). Reported per
// second of the utterance's audio (ms_per_audio_s); the goal is that aligned matching adds at most 5 ms of CPU
// per second of audio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FileRecognizer.h"
#include "TenCommandModels.h"

namespace {

struct TMatchSetup {
    bench::TTenCommandModels models{bench::TRoom::Noisy};
    TCommandTraj utterance;
    double audioSeconds = 0.0;
    std::string utteranceFile;

    TMatchSetup()
    {
        const std::vector<int16_t> samples =
            bench::Take(std::string(PARLANTO_SOURCE_DIR) + "/examples/start.wav", 1, bench::TRoom::Noisy);
        audioSeconds = static_cast<double>(samples.size()) / kSampleRate;
        utteranceFile = models.WriteWav("utterance.wav", samples);
        TFileRecognizer recognizer(models.Dir());
        recognizer.Recognize(utteranceFile);
        utterance = recognizer.Sovo().LastTraj;
    }
};

const TMatchSetup& Setup()
{
    static const TMatchSetup setup;
    return setup;
}

TMatchMode ModeOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? TMatchMode::Classic : TMatchMode::Aligned;
}

void Report(benchmark::State& state, TFileRecognizer& recognizer)
{
    state.SetLabel(MatchModeName(ModeOf(state)));
    // Inverted rate over audioSeconds / 1000 per iteration: milliseconds of CPU per second of audio.
    state.counters["ms_per_audio_s"] = benchmark::Counter(Setup().audioSeconds / 1000.0,
                                                          benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
    state.counters["stored_trajectories"] = 0;
    for (int32_t i = 0; i < recognizer.Sovo().Dictionary->ModelCount(); ++i)
        state.counters["stored_trajectories"] +=
            static_cast<double>(recognizer.Sovo().Dictionary->GetModel(i)->Trajectories.size());
    state.counters["utterance_rows"] = Setup().utterance.AtomCount;
}

// Matching alone: the dictionary scores the utterance's trajectory against every stored one.
void MatchTenCommandsThreeTakes(benchmark::State& state)
{
    TFileRecognizer recognizer(Setup().models.Dir(), ModeOf(state));
    TTeskDictionary& dictionary = *recognizer.Sovo().Dictionary;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary.Recognize(Setup().utterance));
    Report(state, recognizer);
}
BENCHMARK(MatchTenCommandsThreeTakes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The whole recognition of the utterance's file, for scale.
void RecognizeFileTenCommandsThreeTakes(benchmark::State& state)
{
    TFileRecognizer recognizer(Setup().models.Dir(), ModeOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Recognize(Setup().utteranceFile));
    Report(state, recognizer);
}
BENCHMARK(RecognizeFileTenCommandsThreeTakes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
