#include "WavFileReader.h"

#include <algorithm>

namespace {

constexpr std::size_t kRawBytesPerSample = 4;   // room for a 16-bit stereo frame per buffered sample

} // namespace

TWavFileReader::TWavFileReader(int32_t capacity) : FBuffer(capacity)
{
    FBuffer.OnRead = [this](int16_t* dest, int32_t count) { return ReadSamples(dest, count); };
    if (capacity > 0)
        FRaw.resize(static_cast<std::size_t>(capacity) * kRawBytesPerSample);
}

TWavFileReader::~TWavFileReader()
{
    Close();
}

void TWavFileReader::Open(const std::string& fileName)
{
    FFileName = fileName;
    Close();
    if (WaveOpen(fileName, FHandle, FInfo, false, false) < 0) {
        FInfo = TWaveInfo{};
        throw EOpenWaveError("Can not open file!\r" + fileName);
    }
    Rewind();
}

void TWavFileReader::Close()
{
    WaveClose(FHandle);   // a failing close leaves nothing to recover for a read-only file
}

void TWavFileReader::Rewind()
{
    FShortRead = false;
    FBytesRead = 0;
    FBuffer.Reset();
}

void TWavFileReader::CheckOpen() const
{
    if (!IsOpen())
        throw EOpenWaveError("Not open file!");
}

int32_t TWavFileReader::ReadBytes(uint8_t* dest, int32_t len)
{
    CheckOpen();
    const int32_t asked = std::min(len, FInfo.DataSize - FBytesRead);
    int32_t converted = 0;
    const int32_t count = WaveRead(FHandle, FInfo, dest, kUnitFilePosition, converted, asked);
    FShortRead = count < len;
    if (count < 0)
        throw EReadWaveError("Read file error!\r" + FFileName);
    FBytesRead += count;
    return count;
}

int32_t TWavFileReader::ReadSamples(int16_t* dest, int32_t count)
{
    CheckOpen();
    // An open file always has a frame size (WaveOpen refuses one without). Frames wider than the room
    // reserved per sample are read in several pieces of whole frames, so FRaw never overflows.
    const int32_t frameBytes = FrameBytes();
    if (FRaw.size() < static_cast<std::size_t>(frameBytes))
        FRaw.resize(static_cast<std::size_t>(frameBytes));
    const int32_t framesPerPiece = static_cast<int32_t>(std::min<std::size_t>(FRaw.size() / frameBytes, INT32_MAX));
    int32_t done = 0;
    while (done < count) {
        const int32_t asked = std::min(count - done, framesPerPiece) * frameBytes;
        const int32_t got = ReadBytes(FRaw.data(), asked);
        ConvertFrames(FRaw.data(), dest + done, nullptr, FInfo, got);
        done += got / frameBytes;
        if (got < asked)
            break;
    }
    return done;
}

int32_t TWavFileReader::FrameCount() const
{
    const int32_t frameBytes = FrameBytes();
    return frameBytes == 0 ? 0 : FInfo.DataSize / frameBytes;
}

int32_t TWavFileReader::Position() const
{
    const int32_t frameBytes = FrameBytes();
    if (frameBytes == 0)
        return 0;
    return FBytesRead / frameBytes + FBuffer.Index() - FBuffer.Valid();
}
