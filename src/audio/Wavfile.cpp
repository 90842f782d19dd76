#include "Wavfile.h"

#include <cmath>
#include <limits>
#include <new>

namespace {

constexpr uint32_t kWaveForm = MakeFourCC("WAVE");
constexpr uint32_t kFormatId = MakeFourCC("fmt ");
constexpr uint32_t kDataId = MakeFourCC("data");
constexpr int kFormatBytes = 16;

TWaveFormat ParseFormat(const uint8_t* bytes)
{
    TWaveFormat format;
    format.FormatTag = LittleEndian16(bytes);
    format.Channels = LittleEndian16(bytes + 2);
    format.SampleRate = LittleEndian32(bytes + 4);
    format.AvgBytesPerSec = LittleEndian32(bytes + 8);
    format.BlockAlign = LittleEndian16(bytes + 12);
    format.BitsPerSample = LittleEndian16(bytes + 14);
    return format;
}

// Amounts beyond 32 bits have no true answer; saturating keeps them from wrapping to the wrong sign.
int32_t ClampToInt32(int64_t value)
{
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// Nearest integer, ties to even (the default rounding mode).
int32_t RoundToInt32(long double value)
{
    const long double rounded = std::nearbyint(value);
    if (rounded >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (rounded <= static_cast<long double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(rounded);
}

int64_t FrameBytes(const TWaveInfo& info)
{
    return static_cast<int64_t>(info.BytesPerSample) * info.Channels;
}

// Finds and checks the format, then stands the file at the first byte of the data chunk behind it.
int32_t LocateData(TRiffFile& file, TWaveInfo& info)
{
    TRiffChunk riff;
    TRiffChunk format;
    TRiffChunk data;
    if (!file.FindRiff(kWaveForm, riff) || !file.FindChunk(kFormatId, riff, format))
        return kWaveBadFormat;
    uint8_t header[kFormatBytes];
    if (format.Size < kFormatBytes || file.Read(header, kFormatBytes) != kFormatBytes)
        return kWaveReadFailed;
    info.Format = ParseFormat(header);
    if (info.Format.FormatTag != kWaveFormatPcm)
        return kWaveBadFormat;
    info.Channels = info.Format.Channels;
    info.BitsPerSample = info.Format.BitsPerSample;
    info.SampleRate = static_cast<int32_t>(info.Format.SampleRate);
    // Every later step divides by the frame size, so a header without one is no usable format.
    if (info.Channels == 0)
        return kWaveBadFormat;
    info.BytesPerSample = static_cast<uint16_t>(info.Format.BlockAlign / info.Channels);
    if (info.BytesPerSample == 0)
        return kWaveBadFormat;
    if (!file.Ascend(format) || !file.FindChunk(kDataId, riff, data))
        return kWaveBadFormat;
    // The chunk search clips sizes to the file, which keeps both within 32 bits.
    info.DataSize = static_cast<int32_t>(data.Size);
    info.DataOffset = static_cast<int32_t>(data.DataOffset);
    return kWaveOk;
}

int32_t LoadData(TRiffFile& file, TWaveInfo& info)
{
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<std::size_t>(info.DataSize));
    } catch (const std::bad_alloc&) {
        return kWaveNoMemory;
    }
    if (!file.Seek(info.DataOffset) || file.Read(data.data(), info.DataSize) != info.DataSize)
        return kWaveReadFailed;
    info.Data = std::move(data);
    return kWaveOk;
}

} // namespace

int32_t WaveOpen(const std::string& fileName, TWaveHandle& handle, TWaveInfo& info, bool closeAfter,
                 bool loadData)
{
    info = TWaveInfo{};
    handle = TRiffFile::Open(fileName);
    if (!handle)
        return kWaveCannotOpen;
    int32_t result = LocateData(*handle, info);
    if (result == kWaveOk && loadData)
        result = LoadData(*handle, info);
    if (result != kWaveOk || closeAfter)
        handle.reset();
    return result;
}

int32_t WaveClose(TWaveHandle& handle)
{
    if (!handle)
        return kWaveOk;
    const bool closed = handle->Close();
    handle.reset();
    return closed ? kWaveOk : kWaveCloseFailed;
}

int32_t WaveRead(TWaveHandle& handle, const TWaveInfo& info, void* buffer, uint8_t kind, int32_t& converted,
                 int32_t amount)
{
    converted = 0;
    if (!handle)
        return kWaveReadFailed;
    const int32_t asked = UnitsToOffset(info, amount, kind);
    if (asked <= 0)
        return 0;
    const int64_t count = handle->Read(buffer, asked);
    if (count < 0)
        return kWaveReadFailed;
    if (count > 0) {
        const int64_t origin = kind == kUnitFilePosition ? 0 : info.DataOffset;
        converted = BytesToUnits(info, ClampToInt32(count + origin), kind);
    }
    return static_cast<int32_t>(count);
}

int32_t UnitsToOffset(const TWaveInfo& info, int32_t amount, uint8_t kind)
{
    switch (kind) {
    case kUnitFilePosition:
    case kUnitDataBytes:
        return amount;
    case kUnitMilliseconds: {
        const int64_t bytesAtOneHertz = static_cast<int64_t>(amount) * FrameBytes(info);
        const long double bytes =
            static_cast<long double>(bytesAtOneHertz) * (static_cast<long double>(info.SampleRate) / 1000.0L);
        return AlignToFrame(info, RoundToInt32(bytes));
    }
    case kUnitFrames:
        return ClampToInt32(static_cast<int64_t>(amount) * FrameBytes(info));
    default:
        return 0;
    }
}

int32_t UnitsToBytes(const TWaveInfo& info, int32_t amount, uint8_t kind)
{
    switch (kind) {
    case kUnitFilePosition:
        return amount;
    case kUnitDataBytes:
    case kUnitMilliseconds:
    case kUnitFrames:
        return ClampToInt32(static_cast<int64_t>(UnitsToOffset(info, amount, kind)) + info.DataOffset);
    default:
        return 0;
    }
}

int32_t BytesToUnits(const TWaveInfo& info, int32_t position, uint8_t kind)
{
    const int64_t dataBytes = static_cast<int64_t>(position) - info.DataOffset;
    const int64_t frameBytes = FrameBytes(info);
    switch (kind) {
    case kUnitFilePosition:
        return position;
    case kUnitDataBytes:
        return ClampToInt32(dataBytes);
    case kUnitMilliseconds:
        if (frameBytes == 0 || info.SampleRate <= 0)
            return 0;
        return RoundToInt32(static_cast<long double>(dataBytes) / static_cast<long double>(frameBytes) *
                            (1000.0L / static_cast<long double>(info.SampleRate)));
    case kUnitFrames:
        return frameBytes == 0 ? 0 : ClampToInt32(dataBytes / frameBytes);
    default:
        return 0;
    }
}

int32_t AlignToFrame(const TWaveInfo& info, int32_t bytes)
{
    const int64_t frameBytes = FrameBytes(info);
    if (frameBytes < 2)
        return bytes;
    int64_t frames = bytes / frameBytes;
    if (frames * frameBytes < bytes)
        ++frames;
    return ClampToInt32(frames * frameBytes);
}

int32_t SplitChannels(const uint8_t* raw, int16_t* left, int16_t* right, int32_t bits, int32_t frameBytes,
                      int32_t channels, int32_t byteCount)
{
    if (frameBytes <= 0)
        return 0;
    const auto byteAt = [&](int64_t index) -> int32_t { return index < byteCount ? raw[index] : 0; };
    const auto sampleAt = [&](int64_t index) -> int16_t {
        if (bits == 8)
            return static_cast<int16_t>(byteAt(index) * 256 - 32768);
        return static_cast<int16_t>(byteAt(index) | byteAt(index + 1) << 8);
    };
    const int64_t rightOffset = bits == 8 ? 1 : 2;
    const bool splitRight = right != nullptr && channels == 2;
    int32_t frames = 0;
    for (int64_t p = 0; p < byteCount; p += frameBytes, ++frames) {
        left[frames] = sampleAt(p);
        if (splitRight)
            right[frames] = sampleAt(p + rightOffset);
    }
    return 2 * frames;
}

int32_t ConvertFrames(const uint8_t* raw, int16_t* left, int16_t* right, const TWaveInfo& info,
                      int32_t byteCount)
{
    return SplitChannels(raw, left, right, info.BitsPerSample, static_cast<int32_t>(FrameBytes(info)),
                         info.Channels, byteCount);
}
