// Cost of scoring atoms against the shipped phoneme set (Models/): one second of audio's atoms (345 hops of
// 64 samples, taken from the reference utterances), each classified by every phoneme model as the recognizer
// does after an utterance. The time per iteration is the CPU time per second of audio; the goal is 1 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SovoPhon.h"
#include "UtteranceAtoms.h"

namespace {

constexpr size_t kAtomsPerSecond = 345;   // 22050 / 64 = 344.5

TArrayAtoms OneSecondOfAtoms()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(PARLANTO_GOLDEN_DIR) + "/wav"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    TArrayAtoms atoms;
    for (size_t i = 0; atoms.size() < kAtomsPerSecond; ++i) {
        const TArrayAtoms utterance = ReadUtteranceAtoms(files[i % files.size()].string());
        atoms.insert(atoms.end(), utterance.begin(), utterance.end());
    }
    atoms.resize(kAtomsPerSecond);
    return atoms;
}

void ScoreOneSecondWithShippedSet(benchmark::State& state)
{
    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels(std::string(PARLANTO_SOURCE_DIR) + "/Models/", "phm");
    const TArrayAtoms atoms = OneSecondOfAtoms();
    for (auto _ : state) {
        phoneme.ClassifyAtoms(atoms);
        benchmark::DoNotOptimize(phoneme.Decision.Score);
    }
    size_t templates = 0;
    for (int32_t i = 0; i < phoneme.ModelCount(); ++i)
        templates += phoneme.GetModel(i)->Templates.size();
    state.counters["templates"] = static_cast<double>(templates);
}
BENCHMARK(ScoreOneSecondWithShippedSet)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
