// Per-call cost of the signal library on one analysis frame of a sustained vowel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "SignalFormat.h"
#include "SovoEnvelope.h"
#include "SovoUtils.h"
#include "vwFFT.h"

namespace {

constexpr int32_t kFrame = kFrameSize;
constexpr int32_t kVoicingSamples = kFrame + 64;   // what the pre-processor hands over at least
constexpr std::size_t kWavHeaderBytes = 44;

// The vowel's samples from the middle of the file on, enough for the voicing block.
std::vector<int16_t> VowelSamples()
{
    std::ifstream file(PARLANTO_GOLDEN_DIR "/wav/vowel_a.wav", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < kWavHeaderBytes)
        return {};
    std::vector<int16_t> all((bytes.size() - kWavHeaderBytes) / 2);
    std::memcpy(all.data(), bytes.data() + kWavHeaderBytes, all.size() * 2);
    const std::size_t start = all.size() / 2;
    if (all.size() < start + kVoicingSamples)
        return {};
    return {all.begin() + static_cast<std::ptrdiff_t>(start),
            all.begin() + static_cast<std::ptrdiff_t>(start + kVoicingSamples)};
}

struct TVowelFrame {
    std::vector<int16_t> samples;     // kVoicingSamples raw samples
    std::vector<int16_t> windowed;    // the first kFrame of them under a Hann window
    std::vector<double> magnitudes = std::vector<double>(kFrame / 2);
    std::vector<double> phases = std::vector<double>(kFrame / 2);
    double tone = 0.0;

    TVowelFrame() : samples(VowelSamples())
    {
        if (samples.empty())
            return;
        windowed.resize(kFrame);
        for (int32_t i = 0; i < kFrame; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrame);
            windowed[i] = static_cast<int16_t>(std::nearbyint(samples[i] * hann));
        }
        TFFTObject fft(10);
        fft.Forward(windowed.data(), kFrame, magnitudes.data(), phases.data());
        TToneEstimator estimator;
        tone = estimator.MainTone(magnitudes.data());
    }
};

const TVowelFrame& Vowel()
{
    static const TVowelFrame frame;
    return frame;
}

bool HaveVowel(benchmark::State& state)
{
    if (!Vowel().samples.empty())
        return true;
    state.SkipWithError("tests/data/golden/wav/vowel_a.wav not readable");
    return false;
}

void BM_Forward1024(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    TFFTObject fft(10);
    std::vector<double> magnitudes(kFrame / 2), phases(kFrame / 2);
    for (auto _ : state) {
        fft.Forward(Vowel().windowed.data(), kFrame, magnitudes.data(), phases.data());
        benchmark::DoNotOptimize(magnitudes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Forward1024);

// What every analysis frame costs: the magnitudes alone.
void BM_ForwardMagnitudes1024(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    TFFTObject fft(10);
    std::vector<double> magnitudes(kFrame / 2);
    for (auto _ : state) {
        fft.Forward(Vowel().windowed.data(), kFrame, magnitudes.data());
        benchmark::DoNotOptimize(magnitudes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ForwardMagnitudes1024);

void BM_Inverse1024(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    TFFTObject fft(10);
    std::vector<int16_t> out(kFrame);
    for (auto _ : state) {
        fft.Inverse(out.data(), kFrame, Vowel().magnitudes.data(), Vowel().phases.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Inverse1024);

void BM_BuildEnvelope(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    double bands[kBandCount], envelope[kBandCount];
    uint8_t bytes[kBandCount];
    BuildEnvelope(Vowel().magnitudes.data(), bands, envelope, bytes);   // builds the band layout outside the loop
    for (auto _ : state) {
        BuildEnvelope(Vowel().magnitudes.data(), bands, envelope, bytes);
        benchmark::DoNotOptimize(bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildEnvelope);

void BM_MainTone(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    TToneEstimator estimator;
    for (auto _ : state)
        benchmark::DoNotOptimize(estimator.MainTone(Vowel().magnitudes.data()));
    state.counters["tone_hz"] = Vowel().tone;
}
BENCHMARK(BM_MainTone);

void BM_Voicing(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(Voicing(Vowel().samples.data(), kVoicingSamples, Vowel().tone));
}
BENCHMARK(BM_Voicing);

}  // namespace
