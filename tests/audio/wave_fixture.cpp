#include "wave_fixture.h"

#include <stdexcept>

namespace wavetest {

namespace {

void Put16(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes& out, uint32_t value)
{
    Put16(out, static_cast<uint16_t>(value));
    Put16(out, static_cast<uint16_t>(value >> 16));
}

void PutId(Bytes& out, const std::string& id)
{
    if (id.size() != 4)
        throw std::invalid_argument("chunk id must have four characters: " + id);
    out.insert(out.end(), id.begin(), id.end());
}

} // namespace

Bytes FormatData(uint16_t tag, uint16_t channels, uint32_t sampleRate, uint16_t blockAlign, uint16_t bits,
                 std::size_t size)
{
    Bytes data;
    Put16(data, tag);
    Put16(data, channels);
    Put32(data, sampleRate);
    Put32(data, sampleRate * blockAlign);
    Put16(data, blockAlign);
    Put16(data, bits);
    data.resize(size, 0);
    return data;
}

Bytes PcmFormatData(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample)
{
    const auto blockAlign = static_cast<uint16_t>(channels * ((bitsPerSample + 7) / 8));
    return FormatData(1, channels, sampleRate, blockAlign, bitsPerSample);
}

Bytes Pcm16Data(const std::vector<int16_t>& samples)
{
    Bytes data;
    for (const int16_t sample : samples)
        Put16(data, static_cast<uint16_t>(sample));
    return data;
}

Bytes RiffBytes(const std::vector<Chunk>& chunks, std::optional<uint32_t> riffSize, const std::string& form)
{
    Bytes body;
    PutId(body, form);
    for (const Chunk& chunk : chunks) {
        PutId(body, chunk.Id);
        Put32(body, chunk.DeclaredSize.value_or(static_cast<uint32_t>(chunk.Data.size())));
        body.insert(body.end(), chunk.Data.begin(), chunk.Data.end());
        if (chunk.Data.size() % 2 != 0)
            body.push_back(0);
    }
    Bytes file;
    PutId(file, "RIFF");
    Put32(file, riffSize.value_or(static_cast<uint32_t>(body.size())));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes PcmWave(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample, const Bytes& data)
{
    return RiffBytes({{"fmt ", PcmFormatData(channels, sampleRate, bitsPerSample), {}}, {"data", data, {}}});
}

Bytes MonoWave(const std::vector<int16_t>& samples, uint32_t sampleRate)
{
    return PcmWave(1, sampleRate, 16, Pcm16Data(samples));
}

std::vector<int16_t> IndexedSamples(int32_t count)
{
    // An odd multiplier makes the map from index to sample one-to-one over any 65536 consecutive samples.
    std::vector<int16_t> samples(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<int16_t>(i * 7 + 3);
    return samples;
}

} // namespace wavetest
