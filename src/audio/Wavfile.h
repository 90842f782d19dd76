#pragma once
// WAV (RIFF/WAVE, integer PCM) files at the lowest level: open and check, read raw sample bytes, convert
// frames to 16-bit samples. Failures are negative result codes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RiffFile.h"

constexpr int32_t kWaveOk = 0;
constexpr int32_t kWaveCannotOpen = -12;
constexpr int32_t kWaveNoMemory = -13;       // the whole sample data could not be loaded into memory
constexpr int32_t kWaveCloseFailed = -14;
constexpr int32_t kWaveBadFormat = -15;      // not RIFF/WAVE, not PCM, no usable frame layout, chunk missing
constexpr int32_t kWaveReadFailed = -16;     // short format header, short load, failed read

// Amount kinds of the unit conversions.
constexpr uint8_t kUnitFilePosition = 0;     // bytes from the file start
constexpr uint8_t kUnitDataBytes = 1;        // bytes from the first data byte
constexpr uint8_t kUnitMilliseconds = 2;
constexpr uint8_t kUnitFrames = 3;

constexpr uint16_t kWaveFormatPcm = 1;

// The first 16 bytes of the "fmt " chunk.
struct TWaveFormat {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SampleRate = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;                 // bytes per frame
    uint16_t BitsPerSample = 0;
};

struct TWaveInfo {
    int32_t DataSize = 0;                    // bytes of the data chunk that the file really holds
    int32_t DataOffset = 0;                  // file offset of the first data byte
    TWaveFormat Format;
    uint16_t Channels = 0;
    uint16_t BitsPerSample = 0;
    int32_t SampleRate = 0;
    uint16_t BytesPerSample = 0;             // BlockAlign / Channels: bytes of one channel's sample
    std::vector<uint8_t> Data;               // the whole sample data when loaded by WaveOpen, else empty
};

using TWaveHandle = std::unique_ptr<TRiffFile>;

// Opens the file, finds "fmt " and the "data" chunk behind it and leaves the file at the first data byte.
// With loadData the sample data is also read into info.Data. On failure, or with closeAfter, the file is
// closed and handle is null.
int32_t WaveOpen(const std::string& fileName, TWaveHandle& handle, TWaveInfo& info, bool closeAfter,
                 bool loadData);
// Closes and clears the handle (nothing when null).
int32_t WaveClose(TWaveHandle& handle);
// Reads the byte count that amount of kind gives from the current file position; converted receives the
// count read expressed in kind (0 when nothing was read). Returns the bytes read or kWaveReadFailed.
int32_t WaveRead(TWaveHandle& handle, const TWaveInfo& info, void* buffer, uint8_t kind, int32_t& converted,
                 int32_t amount);

// Absolute file position of an amount.
int32_t UnitsToBytes(const TWaveInfo& info, int32_t amount, uint8_t kind);
// Byte count of an amount (for kind 0 the amount itself).
int32_t UnitsToOffset(const TWaveInfo& info, int32_t amount, uint8_t kind);
// Amount of kind at an absolute file position.
int32_t BytesToUnits(const TWaveInfo& info, int32_t position, uint8_t kind);
// Rounds bytes up to whole frames.
int32_t AlignToFrame(const TWaveInfo& info, int32_t bytes);

// Writes channel 1 of each frame to left and, for two channels when right is given, channel 2 to right.
// 8-bit samples are unsigned, wider ones are taken by their first two bytes (signed little-endian). A
// trailing partial frame is converted too, its missing bytes read as zero. Returns 2 * frames visited.
int32_t SplitChannels(const uint8_t* raw, int16_t* left, int16_t* right, int32_t bits, int32_t frameBytes,
                      int32_t channels, int32_t byteCount);
int32_t ConvertFrames(const uint8_t* raw, int16_t* left, int16_t* right, const TWaveInfo& info,
                      int32_t byteCount);
