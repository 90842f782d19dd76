// Per-call cost of the signal library on one analysis frame of a sustained vowel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "BenchAudio.h"
#include "NoisyTakes.h"
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

// The Hann-windowed first kFrame samples.
std::vector<int16_t> Windowed(const int16_t* samples)
{
    std::vector<int16_t> windowed(kFrame);
    for (int32_t i = 0; i < kFrame; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrame);
        windowed[i] = static_cast<int16_t>(std::nearbyint(samples[i] * hann));
    }
    return windowed;
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
        windowed = Windowed(samples.data());
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

// The spectra of every half-overlapping frame of the first few reference utterances as noisy takes, in order:
// the many candidates of speech in noise, frame after frame.
std::vector<std::vector<double>> NoisyTakeSpectra()
{
    constexpr size_t kTakes = 6;
    std::vector<std::vector<double>> spectra;
    TFFTObject fft(10);
    const std::vector<std::string> sources = bench::SourceWavs();
    for (size_t t = 0; t < std::min(kTakes, sources.size()); ++t) {
        const std::vector<int16_t> take = bench::NoisyTake(bench::ReadSamples(sources[t]), 5000 + t);
        for (size_t at = 0; at + kFrame <= take.size(); at += kFrame / 2) {
            std::vector<double> magnitudes(kBinCount);
            fft.Forward(Windowed(take.data() + at).data(), kFrame, magnitudes.data());
            spectra.push_back(std::move(magnitudes));
        }
    }
    return spectra;
}

void BM_MainToneNoisyTakes(benchmark::State& state)
{
    static const std::vector<std::vector<double>> spectra = NoisyTakeSpectra();
    if (spectra.empty()) {
        state.SkipWithError("no reference utterances");
        return;
    }
    TToneEstimator estimator;
    for (auto _ : state) {
        for (const std::vector<double>& spectrum : spectra)
            benchmark::DoNotOptimize(estimator.MainTone(spectrum.data()));
    }
    state.counters["frames"] = static_cast<double>(spectra.size());
    state.counters["us_per_frame"] = benchmark::Counter(static_cast<double>(spectra.size()),
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}
BENCHMARK(BM_MainToneNoisyTakes)->Unit(benchmark::kMillisecond);

void BM_Voicing(benchmark::State& state)
{
    if (!HaveVowel(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(Voicing(Vowel().samples.data(), kVoicingSamples, Vowel().tone));
}
BENCHMARK(BM_Voicing);

}  // namespace
