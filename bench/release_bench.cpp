// Push-to-talk as the window does it, against the private sound server of the tests (source
// tools/pulse_test_server.sh; pulse_test_server_start): a word of about a second is recorded from the virtual
// microphone, and the time is taken from the release of Ctrl (the input's Stop) until Stop returns, by then
// the recording has been delivered, recognized (ten commands of three takes, aligned matching) and the level
// meter has been started again, so the window can draw the result row. The goal is 50 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "../tests/support/FifoWrite.h"
#include "BenchAudio.h"
#include "MainThreadQueue.h"
#include "ModelSet.h"
#include "Sovo.h"
#include "SovoMicInput.h"
#include "TenCommandModels.h"

namespace {

constexpr int32_t kBlock = 1024;

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

// Runs the main thread's share of the device threads until the recording has filled blocks buffers.
bool RecordingReaches(const TSovoMicInput& mic, int32_t blocks)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (mic.CapturedBlocks() < blocks) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MainThreadQueue().Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ReleaseToResult(benchmark::State& state)
{
    const std::string fifo = Env("PARLANTO_TEST_MIC_FIFO");
    if (Env("PULSE_SERVER").empty() || fifo.empty()) {
        state.SkipWithError("no test sound server: source tools/pulse_test_server.sh; pulse_test_server_start");
        return;
    }
    setenv("PULSE_SOURCE", Env("PARLANTO_TEST_MIC_SOURCE").c_str(), 1);
    MainThreadQueue();   // made on this, the main, thread
    static const bench::TTenCommandModels models(bench::TRoom::Quiet);
    TSovoObject sovo;
    LoadModelSet(sovo, models.Dir());
    sovo.SetMatchMode(TMatchMode::Aligned);
    TSovoMicInput mic(kBlock, 1, kSampleRate, 2);
    sovo.SetInput(&mic);
    sovo.SetOnUtteranceEnd([&sovo] { sovo.RecognizeUtterance(); });
    int results = 0;
    sovo.OnResult = [&results](TSovoObject&, const std::string&) { ++results; };

    std::vector<int16_t> word = bench::ReadSamples(PARLANTO_SOURCE_DIR "/examples/next.wav");
    word.resize((word.size() + kBlock - 1) / kBlock * kBlock, 0);
    const auto blocks = static_cast<int32_t>(word.size() / kBlock);
    for (auto _ : state) {
        mic.Start();
        if (!WriteToFifo(fifo, word, std::chrono::seconds(5)) || !RecordingReaches(mic, blocks)) {
            state.SkipWithError("the virtual microphone delivered too little");
            break;
        }
        const auto released = std::chrono::steady_clock::now();
        mic.Stop();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - released).count());
    }
    sovo.SetInput(nullptr);
    state.counters["word_s"] = static_cast<double>(word.size()) / kSampleRate;
    state.counters["results"] = benchmark::Counter(results, benchmark::Counter::kAvgIterations);
}

BENCHMARK(ReleaseToResult)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
