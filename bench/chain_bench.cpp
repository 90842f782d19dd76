// The whole chain on ten seconds of audio: file input, pre-processor, phoneme scoring with the shipped phoneme
// set and a dictionary of ten commands with three takes each, in each match mode (aligned also without
// rejection), on recordings as they are and as in a noisy room; noisy takes such as the development corpus
// holds, each recognized from a fresh start; and start-up, the loading of the shipped models. Reports CPU time
// per second of audio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "BenchAudio.h"
#include "FileRecognizer.h"
#include "SovoInput.h"
#include "SovoProc.h"
#include "TenCommandModels.h"

namespace {

constexpr int kSeconds = 10;

void ReportPerAudioSecond(benchmark::State& state, double seconds = kSeconds)
{
    // Seconds of audio recognized per second of CPU, and CPU milliseconds per second of audio.
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ms_per_audio_s"] = benchmark::Counter(
        seconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The models and the ten seconds of audio of a room, made once.
struct TRoomSetup {
    bench::TTenCommandModels models;
    std::string wav;

    explicit TRoomSetup(bench::TRoom room) : models(room)
    {
        std::vector<int16_t> samples = bench::ReadSamples(bench::WavOfSeconds(kSeconds));
        if (room == bench::TRoom::Noisy)
            bench::AddRoomNoise(samples, 0);
        wav = models.WriteWav("ten-seconds.wav", samples);
    }
};

const TRoomSetup& Setup(bench::TRoom room)
{
    static const TRoomSetup quiet(bench::TRoom::Quiet);
    static const TRoomSetup noisy(bench::TRoom::Noisy);
    return room == bench::TRoom::Quiet ? quiet : noisy;
}

void Recognize10s(benchmark::State& state, TMatchMode mode, bench::TRoom room,
                  TRejection::TKind rejection = TRejection::TKind::Auto)
{
    const TRoomSetup& setup = Setup(room);
    TFileRecognizer recognizer(setup.models.Dir(), mode);
    recognizer.Sovo().SetRejection(TRejection{rejection});
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Recognize(setup.wav));
    ReportPerAudioSecond(state);
}
BENCHMARK_CAPTURE(Recognize10s, Classic, TMatchMode::Classic, bench::TRoom::Quiet)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Recognize10s, Aligned, TMatchMode::Aligned, bench::TRoom::Quiet)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Recognize10s, ClassicNoisyRoom, TMatchMode::Classic, bench::TRoom::Noisy)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Recognize10s, AlignedNoisyRoom, TMatchMode::Aligned, bench::TRoom::Noisy)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
// Aligned matching rejects by default; without it, the difference is what rejection costs.
BENCHMARK_CAPTURE(Recognize10s, AlignedNoRejection, TMatchMode::Aligned, bench::TRoom::Quiet, TRejection::TKind::Off)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Recognize10s, AlignedNoisyRoomNoRejection, TMatchMode::Aligned, bench::TRoom::Noisy,
                  TRejection::TKind::Off)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Every reference utterance and example as a noisy take (NoisyTakes.h), each file recognized from a fresh
// start, with ten commands of three takes recorded the same way. Goal: 8 ms of CPU per second of audio.
void RecognizeNoisyTakes(benchmark::State& state, TMatchMode mode)
{
    static const bench::TTenCommandModels models(bench::TRoom::NoisyTakes);
    std::vector<std::string> files;
    size_t samples = 0;
    for (const std::string& source : bench::SourceWavs()) {
        const auto seed = static_cast<uint32_t>(5000 + files.size());
        const std::vector<int16_t> take = bench::NoisyTake(bench::ReadSamples(source), seed);
        samples += take.size();
        files.push_back(models.WriteWav("noisy" + std::to_string(seed) + ".wav", take));
    }
    TFileRecognizer recognizer(models.Dir(), mode);
    for (auto _ : state) {
        for (const std::string& file : files)
            benchmark::DoNotOptimize(recognizer.RecognizeFresh(file));
    }
    ReportPerAudioSecond(state, static_cast<double>(samples) / kSampleRate);
}
BENCHMARK_CAPTURE(RecognizeNoisyTakes, Classic, TMatchMode::Classic)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RecognizeNoisyTakes, Aligned, TMatchMode::Aligned)
    ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void PreprocessOnly10s(benchmark::State& state)
{
    const std::vector<int16_t> samples = bench::ReadSamples(bench::WavOfSeconds(kSeconds));
    const auto count = static_cast<int32_t>(samples.size());
    TTeskProcessor processor;   // one for the whole run, as the recognizer keeps one
    for (auto _ : state) {
        processor.Restart();
        for (int32_t at = 0; at < count; at += kInputBlockSize)
            processor.AddSamples(samples.data() + at, std::min(kInputBlockSize, count - at));
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
