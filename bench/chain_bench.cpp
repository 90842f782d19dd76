// The whole chain on ten seconds of audio: file input, pre-processor, phoneme scoring and the dictionary with
// the shipped models, in each match mode; and start-up, the loading of those models. Reports CPU time per
// second of audio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchAudio.h"
#include "FileRecognizer.h"
#include "SovoProc.h"

namespace {

constexpr int kSeconds = 10;

void ReportPerAudioSecond(benchmark::State& state)
{
    // Seconds of audio recognized per second of CPU, and CPU milliseconds per second of audio.
    state.counters["x_realtime"] = benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ms_per_audio_s"] = benchmark::Counter(
        kSeconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Recognize10s(benchmark::State& state, TMatchMode mode)
{
    TFileRecognizer recognizer(bench::ModelsDir());
    recognizer.Sovo().Dictionary->MatchMode = mode;
    const std::string file = bench::WavOfSeconds(kSeconds);
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Recognize(file));
    ReportPerAudioSecond(state);
}
BENCHMARK_CAPTURE(Recognize10s, Classic, TMatchMode::Classic)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Recognize10s, Aligned, TMatchMode::Aligned)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void PreprocessOnly10s(benchmark::State& state)
{
    const std::string file = bench::WavOfSeconds(kSeconds);
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const auto* samples = reinterpret_cast<const int16_t*>(bytes.data() + bench::kHeaderBytes);
    const auto count = static_cast<int32_t>((bytes.size() - bench::kHeaderBytes) / 2);
    TTeskProcessor processor;   // one for the whole run, as the recognizer keeps one
    for (auto _ : state) {
        processor.Restart();
        for (int32_t at = 0; at < count; at += 1024)
            processor.AddSamples(samples + at, std::min(1024, count - at));
        processor.AddSamples(nullptr, 0);
        benchmark::DoNotOptimize(processor.Atoms.size());
    }
    ReportPerAudioSecond(state);
}
BENCHMARK(PreprocessOnly10s)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// What the program does before it can listen: create the recognizer and load the shipped models.
void StartWithShippedModels(benchmark::State& state)
{
    for (auto _ : state) {
        TFileRecognizer recognizer(bench::ModelsDir());
        benchmark::DoNotOptimize(recognizer.Sovo().Dictionary->ModelCount());
    }
}
BENCHMARK(StartWithShippedModels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
