// Cost of matching in each mode with ten commands of three takes each, as a user in a noisy room would have
// them: every take and the utterance are a recorded word with about a quarter second of white noise before and
// after and the same noise under it, so the pre-processor keeps the noise and the trajectories are long. The
// phoneme set is the shipped one (Models/). Reported per second of the utterance's audio (ms_per_audio_s);
// the goal is that aligned matching adds at most 5 ms of CPU per second of audio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../tests/support/TempDir.h"
#include "FileRecognizer.h"
#include "PhonemeSetCopy.h"
#include "SaveModel.h"

namespace {

constexpr int kSampleRate = 22050;
constexpr size_t kTakes = 3;

std::vector<int16_t> ReadSamples(const std::string& wavFile)
{
    std::ifstream in(wavFile, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    std::copy_n(bytes.begin() + 44, samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

// The word between noise leads of 200 + 50·seed ms, noise of ±400 everywhere (about 38 dB below full scale).
std::vector<int16_t> NoisyTake(const std::string& wavFile, uint32_t seed)
{
    const size_t lead = static_cast<size_t>(kSampleRate) * (200 + 50 * seed) / 1000;
    std::vector<int16_t> samples(lead, 0);
    const std::vector<int16_t> word = ReadSamples(wavFile);
    samples.insert(samples.end(), word.begin(), word.end());
    samples.resize(samples.size() + lead, 0);
    uint32_t state = 12345u + seed;
    for (int16_t& sample : samples) {
        state = state * 1664525u + 1013904223u;
        const int noise = static_cast<int>(state >> 22) - 512;   // -512..511
        sample = static_cast<int16_t>(std::clamp(sample + noise * 400 / 512, -32768, 32767));
    }
    return samples;
}

struct TMatchSetup {
    TempDir dir;
    TCommandTraj utterance;
    double audioSeconds = 0.0;
    std::string utteranceFile;

    TMatchSetup()
    {
        const std::string golden = std::string(PARLANTO_GOLDEN_DIR) + "/wav/";
        const std::string examples = std::string(PARLANTO_SOURCE_DIR) + "/examples/";
        CopyPhonemeSet(std::string(PARLANTO_SOURCE_DIR) + "/Models/", dir.Dir());
        const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
            {"open", {golden + "open_train1.wav", golden + "open_train2.wav", golden + "open_test1.wav"}},
            {"close", {golden + "close_train1.wav", golden + "close_train2.wav", golden + "close_test1.wav"}},
            {"stop", {golden + "stop_train1.wav", golden + "stop_train2.wav", golden + "stop_test1.wav"}},
            {"a", {golden + "vowel_a.wav"}},         {"e", {golden + "vowel_e.wav"}},
            {"i", {golden + "vowel_i.wav"}},         {"o", {golden + "vowel_o.wav"}},
            {"louder", {examples + "louder.wav"}},   {"next", {examples + "next.wav"}},
            {"pause", {examples + "pause.wav"}},
        };
        for (const auto& [command, sources] : commands) {
            for (uint32_t take = 0; take < kTakes; ++take) {
                const std::string wav = dir.WriteWav(command + std::to_string(take) + ".wav",
                                                     NoisyTake(sources[take % sources.size()], take));
                TFileRecognizer recognizer(dir.Dir());
                recognizer.Recognize(wav);
                SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, dir.Dir(), command,
                                       command + std::to_string(take + 1));
            }
        }
        const std::vector<int16_t> samples = NoisyTake(examples + "start.wav", 1);
        audioSeconds = static_cast<double>(samples.size()) / kSampleRate;
        utteranceFile = dir.WriteWav("utterance.wav", samples);
        TFileRecognizer recognizer(dir.Dir());
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
    TFileRecognizer recognizer(Setup().dir.Dir(), ModeOf(state));
    TTeskDictionary& dictionary = *recognizer.Sovo().Dictionary;
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionary.Recognize(Setup().utterance));
    Report(state, recognizer);
}
BENCHMARK(MatchTenCommandsThreeTakes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The whole recognition of the utterance's file, for scale.
void RecognizeFileTenCommandsThreeTakes(benchmark::State& state)
{
    TFileRecognizer recognizer(Setup().dir.Dir(), ModeOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Recognize(Setup().utteranceFile));
    Report(state, recognizer);
}
BENCHMARK(RecognizeFileTenCommandsThreeTakes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
