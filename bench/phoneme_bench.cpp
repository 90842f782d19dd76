// Cost of scoring atoms against the shipped phoneme set (Models/), per second of audio: every atom of the
// reference utterances classified by every phoneme model, as the recognizer does after each utterance.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "SovoPhon.h"
#include "UtteranceAtoms.h"

namespace {

constexpr double kSampleRate = 22050.0;

void ScoreShippedSet(benchmark::State& state)
{
    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels(std::string(PARLANTO_SOURCE_DIR) + "/Models/", "phm");
    TArrayAtoms atoms;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PARLANTO_GOLDEN_DIR) + "/wav")) {
        const TArrayAtoms utterance = ReadUtteranceAtoms(entry.path().string());
        atoms.insert(atoms.end(), utterance.begin(), utterance.end());
    }
    for (auto _ : state) {
        phoneme.ClassifyAtoms(atoms);
        benchmark::DoNotOptimize(phoneme.Decision.Score);
    }
    size_t templates = 0;
    for (int32_t i = 0; i < phoneme.ModelCount(); ++i)
        templates += phoneme.GetModel(i)->Templates.size();
    // One atom per 64-sample hop: the seconds of audio that one pass over the atoms stands for.
    const double seconds = static_cast<double>(atoms.size()) * kHopSize / kSampleRate;
    state.counters["audio_s"] = seconds;
    state.counters["templates"] = static_cast<double>(templates);
    state.counters["ms_per_audio_s"] =
        benchmark::Counter(seconds / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ScoreShippedSet)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
