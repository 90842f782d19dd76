// Whole-process figures of parlanto-cli recognizing files of several lengths with the shipped models: peak
// resident memory (as /usr/bin/time -v reports it) per second of audio, and the CPU time of a run on one
// second of audio, which is mostly start-up: loading the program and the models.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchAudio.h"
#include "ChildRun.h"

namespace {

void PeakMemory(benchmark::State& state)
{
    const auto seconds = static_cast<int>(state.range(0));
    const std::string wav = bench::WavOfSeconds(seconds);
    bench::TRun run;
    for (auto _ : state) {
        run = bench::RecognizeInChild(wav, bench::ModelsDir());
        if (!run.ok) {
            state.SkipWithError(("could not run " + bench::CliPath()).c_str());
            return;
        }
    }
    state.counters["peak_mb"] = run.peakMegabytes;
    state.counters["mb_per_audio_s"] = run.peakMegabytes / seconds;
    state.counters["cpu_ms_per_audio_s"] = 1000.0 * run.cpuSeconds / seconds;
}
// Ten minutes: an utterance keeps one minute of atoms, so the peak stops growing with the file.
BENCHMARK(PeakMemory)->Arg(10)->Arg(30)->Arg(60)->Arg(600)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void ProcessOnOneSecond(benchmark::State& state)
{
    const std::string wav = bench::WavOfSeconds(1);
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const bench::TRun run = bench::RecognizeInChild(wav, bench::ModelsDir());
        if (!run.ok) {
            state.SkipWithError(("could not run " + bench::CliPath()).c_str());
            return;
        }
        cpuSeconds += run.cpuSeconds;
    }
    state.counters["cpu_ms"] = 1000.0 * cpuSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(ProcessOnOneSecond)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

}  // namespace
