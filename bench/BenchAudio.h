#pragma once
// Audio and models the benchmarks share: a WAV file of any length made of the reference utterances and the
// examples one after another, and the shipped model folder (the reference one until it is there).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SignalFormat.h"

namespace bench {

constexpr std::size_t kHeaderBytes = 44;   // the reference and example files are plain 44-byte-header WAVs

inline std::vector<std::string> SourceWavs()
{
    std::vector<std::string> files;
    for (const char* folder : {PARLANTO_GOLDEN_DIR "/wav", PARLANTO_SOURCE_DIR "/examples"}) {
        if (!std::filesystem::is_directory(folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".wav")
                files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string Le32(uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The samples of a plain 44-byte-header WAV.
inline std::vector<int16_t> ReadSamples(const std::string& wavFile)
{
    std::ifstream in(wavFile, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> samples(bytes.size() > kHeaderBytes ? (bytes.size() - kHeaderBytes) / 2 : 0);
    std::copy_n(bytes.begin() + kHeaderBytes, samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

// /tmp/parlanto-bench-<seconds>s.wav, written on first use.
inline std::string WavOfSeconds(int seconds)
{
    const std::string file = "/tmp/parlanto-bench-" + std::to_string(seconds) + "s.wav";
    const std::size_t count = static_cast<std::size_t>(kSampleRate) * static_cast<std::size_t>(seconds);
    std::vector<int16_t> samples;
    const std::vector<std::string> sources = SourceWavs();
    for (std::size_t i = 0; !sources.empty() && samples.size() < count; ++i) {
        const std::vector<int16_t> wav = ReadSamples(sources[i % sources.size()]);
        samples.insert(samples.end(), wav.begin(), wav.end());
    }
    samples.resize(count);
    const auto size = static_cast<uint32_t>(samples.size() * 2);
    std::ofstream out(file, std::ios::binary);
    out << "RIFF" << Le32(36 + size) << "WAVEfmt " << Le32(16) << std::string("\1\0\1\0", 4) << Le32(kSampleRate)
        << Le32(kSampleRate * 2) << std::string("\2\0\20\0", 4) << "data" << Le32(size);
    out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(size));
    return file;
}

inline std::string ModelsDir()
{
    const std::string shipped = PARLANTO_SOURCE_DIR "/Models/";
    return std::filesystem::is_directory(shipped) ? shipped : PARLANTO_GOLDEN_DIR "/models/";
}

}  // namespace bench
