// Whole-process figures of parlanto-cli recognizing files of several lengths with the shipped models: peak
// resident memory (as /usr/bin/time -v reports it) per second of audio, and the CPU time of a run on one
// second of audio, which is mostly start-up: loading the program and the models.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "BenchAudio.h"

namespace {

struct TRun {
    bool ok = false;
    double peakMegabytes = 0.0;
    double cpuSeconds = 0.0;
};

// The command-line program beside this benchmark's build tree: <build>/bin/parlanto-cli.
std::string CliPath()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return (exe.parent_path().parent_path() / "bin" / "parlanto-cli").string();
}

TRun RecognizeInChild(const std::string& wav)
{
    const std::string cli = CliPath();
    const std::string models = bench::ModelsDir();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execl(cli.c_str(), cli.c_str(), "recognize", "--models", models.c_str(), wav.c_str(), nullptr);
        _exit(127);
    }
    TRun run;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    run.ok = true;
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;   // ru_maxrss is in kilobytes
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

void PeakMemory(benchmark::State& state)
{
    const auto seconds = static_cast<int>(state.range(0));
    const std::string wav = bench::WavOfSeconds(seconds);
    TRun run;
    for (auto _ : state) {
        run = RecognizeInChild(wav);
        if (!run.ok) {
            state.SkipWithError(("could not run " + CliPath()).c_str());
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
        const TRun run = RecognizeInChild(wav);
        if (!run.ok) {
            state.SkipWithError(("could not run " + CliPath()).c_str());
            return;
        }
        cpuSeconds += run.cpuSeconds;
    }
    state.counters["cpu_ms"] = 1000.0 * cpuSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(ProcessOnOneSecond)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

}  // namespace
