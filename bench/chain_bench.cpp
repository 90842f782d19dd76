// The whole chain on a 10-second file: file input, pre-processor, phoneme scoring and the dictionary,
// with the reference model folder. Reports CPU time per second of audio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "FileRecognizer.h"
#include "SovoProc.h"

namespace {

constexpr int kSampleRate = 22050;
constexpr int kSeconds = 10;

// Ten seconds of the reference utterances one after another (their 44-byte headers stripped).
std::string TenSecondWav()
{
    static const std::string path = [] {
        const char* names[] = {"open_test1", "close_test1", "stop_test1", "vowel_a", "vowel_o"};
        std::vector<char> samples;
        for (size_t i = 0; samples.size() < size_t{kSampleRate} * kSeconds * 2; ++i) {
            std::ifstream in(std::string(PARLANTO_GOLDEN_DIR) + "/wav/" + names[i % 5] + ".wav", std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
            samples.insert(samples.end(), bytes.begin() + 44, bytes.end());
        }
        samples.resize(size_t{kSampleRate} * kSeconds * 2);
        auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
        const auto size = static_cast<uint32_t>(samples.size());
        std::string header = "RIFF" + le32(36 + size) + "WAVEfmt " + le32(16) + std::string("\1\0\1\0", 4) +
                             le32(kSampleRate) + le32(kSampleRate * 2) + std::string("\2\0\20\0", 4) + "data" +
                             le32(size);
        const std::string file = "/tmp/parlanto-bench-10s.wav";
        std::ofstream out(file, std::ios::binary);
        out << header;
        out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
        return file;
    }();
    return path;
}

void Recognize10s(benchmark::State& state)
{
    TFileRecognizer recognizer(std::string(PARLANTO_GOLDEN_DIR) + "/models/");
    const std::string file = TenSecondWav();
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Recognize(file));
    // Seconds of audio recognized per second of CPU: the factor faster than real time.
    state.counters["x_realtime"] = benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(Recognize10s)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void PreprocessOnly10s(benchmark::State& state)
{
    const std::string file = TenSecondWav();
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const auto* samples = reinterpret_cast<const int16_t*>(bytes.data() + 44);
    const int32_t count = static_cast<int32_t>((bytes.size() - 44) / 2);
    for (auto _ : state) {
        TTeskProcessor processor;
        for (int32_t at = 0; at < count; at += 1024)
            processor.AddSamples(samples + at, std::min(1024, count - at));
        processor.AddSamples(nullptr, 0);
        benchmark::DoNotOptimize(processor.Atoms.size());
    }
    state.counters["x_realtime"] = benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(PreprocessOnly10s)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
