// Hands-free listening without the device: the finder and the recognizer on ten seconds of a running stream,
// fed in the microphone's 1024-sample blocks. In a quiet room nothing is found and only the frame levels are
// computed; in a noisy room with commands every utterance found is also recognized (ten commands of three
// takes, aligned matching with rejection). Reports CPU per second of audio and as a share of one core.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "BenchAudio.h"
#include "HandsFreeListener.h"
#include "ModelSet.h"
#include "Sovo.h"
#include "TenCommandModels.h"

namespace {

constexpr int kSeconds = 10;
constexpr int32_t kBlock = 1024;

// A quiet room: noise of +-20 (about 64 dB below full scale) from a fixed seed.
std::vector<int16_t> QuietRoom()
{
    std::vector<int16_t> samples(static_cast<size_t>(kSeconds) * kSampleRate);
    uint32_t state = 12345u;
    for (int16_t& sample : samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<int16_t>((static_cast<int>(state >> 22) - 512) * 20 / 512);
    }
    return samples;
}

std::vector<int16_t> NoisyRoomWithCommands()
{
    std::vector<int16_t> samples = bench::ReadSamples(bench::WavOfSeconds(kSeconds));
    bench::AddRoomNoise(samples, 0);
    return samples;
}

void Listen10s(benchmark::State& state, const std::vector<int16_t>& (*audio)())
{
    static const bench::TTenCommandModels models(bench::TRoom::Noisy);
    TSovoObject sovo;
    LoadModelSet(sovo, models.Dir());
    sovo.SetMatchMode(TMatchMode::Aligned);
    sovo.SetOnUtteranceEnd([&sovo] { sovo.RecognizeUtterance(); });
    const std::vector<int16_t>& samples = audio();
    for (auto _ : state) {
        THandsFreeListener listener(sovo);
        for (size_t at = 0; at + kBlock <= samples.size(); at += kBlock)
            listener.AddSamples(samples.data() + at, kBlock);
        listener.Finish();
    }
    state.counters["ms_per_audio_s"] = benchmark::Counter(
        kSeconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["percent_of_a_core"] = benchmark::Counter(
        kSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const std::vector<int16_t>& Quiet()
{
    static const std::vector<int16_t> samples = QuietRoom();
    return samples;
}

const std::vector<int16_t>& Noisy()
{
    static const std::vector<int16_t> samples = NoisyRoomWithCommands();
    return samples;
}

}  // namespace

BENCHMARK_CAPTURE(Listen10s, QuietRoom, Quiet)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Listen10s, NoisyRoomWithCommands, Noisy)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
