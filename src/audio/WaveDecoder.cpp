#include "WaveDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "RiffFile.h"

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr int64_t kPlainFormatBytes = 16;
constexpr int64_t kExtensibleFormatBytes = 40;
constexpr int32_t kMaxChannels = 256;
constexpr int64_t kPieceBytes = 1 << 16;

struct TSampleLayout {
    bool Float = false;
    int32_t Channels = 0;
    int32_t Bytes = 0;         // container bytes of one channel's sample
    int32_t SampleRate = 0;
};

// The layout the "fmt " chunk describes, or false for compressed or nonsensical ones.
bool ParseLayout(const uint8_t* format, int64_t size, TSampleLayout& layout)
{
    uint16_t tag = LittleEndian16(format);
    // An extensible header names the real format in the first two bytes of its sub-format GUID.
    if (tag == kTagExtensible) {
        if (size < kExtensibleFormatBytes)
            return false;
        tag = LittleEndian16(format + 24);
    }
    layout.Channels = LittleEndian16(format + 2);
    layout.SampleRate = static_cast<int32_t>(LittleEndian32(format + 4));
    const int32_t blockAlign = LittleEndian16(format + 12);
    if (layout.Channels == 0 || layout.Channels > kMaxChannels || layout.SampleRate <= 0 ||
        blockAlign % layout.Channels != 0)
        return false;
    layout.Bytes = blockAlign / layout.Channels;
    layout.Float = tag == kTagFloat;
    if (layout.Float)
        return layout.Bytes == 4 || layout.Bytes == 8;
    return tag == kTagPcm && layout.Bytes >= 1 && layout.Bytes <= 4;
}

// One sample as a float in [-1, 1]: 8-bit samples are unsigned, wider integers signed little-endian.
float SampleValue(const uint8_t* bytes, const TSampleLayout& layout)
{
    if (layout.Float) {
        if (layout.Bytes == 4) {
            float value;
            std::memcpy(&value, bytes, sizeof value);
            return value;
        }
        double value;
        std::memcpy(&value, bytes, sizeof value);
        return static_cast<float>(value);
    }
    if (layout.Bytes == 1)
        return static_cast<float>(bytes[0] - 128) / 128.0f;
    // The sample's bytes placed at the top of a 32-bit word keep its sign and scale alike for every width.
    uint32_t word = 0;
    for (int32_t i = 0; i < layout.Bytes; ++i)
        word |= static_cast<uint32_t>(bytes[i]) << (8 * (4 - layout.Bytes + i));
    return static_cast<float>(static_cast<double>(static_cast<int32_t>(word)) / 2147483648.0);
}

} // namespace

bool DecodeWave(const std::string& fileName, TDecodedWave& wave)
{
    const auto file = TRiffFile::Open(fileName);
    TRiffChunk riff;
    TRiffChunk formatChunk;
    TRiffChunk data;
    if (!file || !file->FindRiff(MakeFourCC("WAVE"), riff) || !file->FindChunk(MakeFourCC("fmt "), riff, formatChunk))
        return false;
    uint8_t format[kExtensibleFormatBytes] = {};
    const int64_t formatBytes = std::min(formatChunk.Size, kExtensibleFormatBytes);
    TSampleLayout layout;
    if (formatBytes < kPlainFormatBytes || file->Read(format, formatBytes) != formatBytes ||
        !ParseLayout(format, formatBytes, layout))
        return false;
    if (!file->Ascend(formatChunk) || !file->FindChunk(MakeFourCC("data"), riff, data))
        return false;
    const int64_t frameBytes = static_cast<int64_t>(layout.Bytes) * layout.Channels;
    try {
        wave.Mono.assign(static_cast<std::size_t>(data.Size / frameBytes), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    wave.SampleRate = layout.SampleRate;
    // Read in pieces of whole frames, so the file's bytes are never all held at once.
    const int64_t framesPerPiece = std::max<int64_t>(1, kPieceBytes / frameBytes);
    std::vector<uint8_t> piece(static_cast<std::size_t>(framesPerPiece * frameBytes));
    const auto frameCount = static_cast<int64_t>(wave.Mono.size());
    for (int64_t first = 0; first < frameCount; first += framesPerPiece) {
        const int64_t frames = std::min(framesPerPiece, frameCount - first);
        if (file->Read(piece.data(), frames * frameBytes) != frames * frameBytes)
            return false;
        for (int64_t i = 0; i < frames; ++i) {
            const uint8_t* frame = piece.data() + i * frameBytes;
            double sum = 0.0;
            for (int32_t channel = 0; channel < layout.Channels; ++channel)
                sum += SampleValue(frame + channel * layout.Bytes, layout);
            wave.Mono[static_cast<std::size_t>(first + i)] = static_cast<float>(sum / layout.Channels);
        }
    }
    return true;
}
