#pragma once
// Builds WAV files chunk by chunk, so that each test shows the layout it writes (into a TempDir).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<uint8_t>;

struct Chunk {
    std::string Id;                              // four characters
    Bytes Data;
    std::optional<uint32_t> DeclaredSize;        // header size when it should lie about Data
};

// "fmt " data: the 16-byte header, zero-padded to size bytes.
Bytes FormatData(uint16_t tag, uint16_t channels, uint32_t sampleRate, uint16_t blockAlign, uint16_t bits,
                 std::size_t size = 16);
Bytes PcmFormatData(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample);
Bytes Pcm16Data(const std::vector<int16_t>& samples);

// A whole RIFF file: header, form type, then the chunks (each padded to even length).
Bytes RiffBytes(const std::vector<Chunk>& chunks, std::optional<uint32_t> riffSize = {},
                const std::string& form = "WAVE");
// The common 44-byte-header file.
Bytes PcmWave(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample, const Bytes& data);
Bytes MonoWave(const std::vector<int16_t>& samples, uint32_t sampleRate = 22050);

// count samples, each telling its index (modulo 65536), none of them zero-looking in a row.
std::vector<int16_t> IndexedSamples(int32_t count);

} // namespace wavetest
