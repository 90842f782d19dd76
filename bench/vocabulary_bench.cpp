// A vocabulary of 500 commands of three takes each, every take recorded in a noisy room
// (ManyCommandModels.h): what it costs to start, to hold and to match. Goals: start-up within 100 ms, at most
// 64 MB above the program without command models, matching within 10 ms of CPU per second of audio in either
// mode. Making the model folder (1500 takes enrolled) takes a while before the first figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "BenchAudio.h"
#include "ChildRun.h"
#include "FileRecognizer.h"
#include "ManyCommandModels.h"

namespace {

constexpr uint32_t kCommands = 500;

const bench::TManyCommandModels& Models()
{
    static const bench::TManyCommandModels models(kCommands);
    return models;
}

TMatchMode ModeOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? TMatchMode::Classic : TMatchMode::Aligned;
}

// The whole program (parlanto-cli recognize) on one second of audio, with the 500 commands and with the phoneme
// set alone: the differences are what the commands cost at start-up (CPU) and what they hold (peak memory).
// First of all, while this process has loaded nothing that its children would share.
void ProgramWith500Commands(benchmark::State& state)
{
    const std::string wav = bench::WavOfSeconds(1);
    const std::string withCommands = Models().Dir();
    bench::RecognizeInChild(wav, withCommands);   // as a user's second start: the take forms are cached
    double cpuWith = 0.0, cpuWithout = 0.0, peakWith = 0.0, peakWithout = 0.0;
    for (auto _ : state) {
        const bench::TRun with = bench::RecognizeInChild(wav, withCommands);
        const bench::TRun without = bench::RecognizeInChild(wav, Models().PhonemesOnlyDir());
        if (!with.ok || !without.ok) {
            state.SkipWithError(("could not run " + bench::CliPath()).c_str());
            return;
        }
        cpuWith += with.cpuSeconds;
        cpuWithout += without.cpuSeconds;
        peakWith = std::max(peakWith, with.peakMegabytes);
        peakWithout = std::max(peakWithout, without.peakMegabytes);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = 1000.0 * cpuWith / runs;
    state.counters["commands_cpu_ms"] = 1000.0 * (cpuWith - cpuWithout) / runs;
    state.counters["peak_mb"] = peakWith;
    state.counters["commands_mb"] = peakWith - peakWithout;
}
BENCHMARK(ProgramWith500Commands)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// In the program: making the recognizer, loading the phoneme set and every command; the first time (every take
// read and its forms made) and every time after (the forms from the cache).
void StartWith500Commands(benchmark::State& state)
{
    const std::string dir = Models().Dir();
    const bool first = state.range(0) == 0;
    const std::string cache = Models().TakeFormsFolder();
    TFileRecognizer(dir, TMatchMode::Aligned);   // fills the cache
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            std::filesystem::remove_all(cache);
            state.ResumeTiming();
        }
        TFileRecognizer recognizer(dir, TMatchMode::Aligned);
        benchmark::DoNotOptimize(recognizer.Sovo().Dictionary->ModelCount());
    }
    state.SetLabel(first ? "first start" : "from the cache");
}
BENCHMARK(StartWith500Commands)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Matching alone: the dictionary scores a noisy utterance's trajectory against every stored one; with a second
// argument of 1, a second of several words run together, which resembles no command (as what a listener
// rejects: the bounds then separate the commands least).
void Match500Commands(benchmark::State& state)
{
    const bool unlike = state.range(1) == 1;
    const std::string wav = unlike ? bench::WavOfSeconds(1) : Models().UtteranceWav(0);
    TFileRecognizer recognizer(Models().Dir(), ModeOf(state));
    recognizer.RecognizeFresh(wav);
    const TCommandTraj utterance = recognizer.Sovo().LastTraj;
    TTeskDictionary& dictionary = *recognizer.Sovo().Dictionary;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary.Recognize(utterance));
    int exact = 0;
    for (int32_t i = 0; i < dictionary.ModelCount(); ++i)
        exact += dictionary.GetModel(i)->LastScoreExact ? 1 : 0;
    state.counters["scored_exactly"] = exact;   // the others were ruled out on their bounds
    state.SetLabel(std::string(MatchModeName(ModeOf(state))) + (unlike ? ", unlike any command" : ""));
    const double audioSeconds = static_cast<double>(bench::ReadSamples(wav).size()) / kSampleRate;
    state.counters["ms_per_audio_s"] = benchmark::Counter(
        audioSeconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(Match500Commands)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
