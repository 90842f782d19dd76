#pragma once
// Reads a WAV file's first channel into a read-ahead buffer of 16-bit samples; failures become exceptions.
#include <cstdint>
#include <string>
#include <vector>

#include "ReadBuffer.h"
#include "SovoError.h"
#include "Wavfile.h"

class EWaveFileError : public ESovoError {
public:
    using ESovoError::ESovoError;
};

class EOpenWaveError : public EWaveFileError {
public:
    using EWaveFileError::EWaveFileError;
};

class EReadWaveError : public EWaveFileError {
public:
    using EWaveFileError::EWaveFileError;
};

class TWavFileReader {
public:
    // capacity: samples the read-ahead buffer holds.
    explicit TWavFileReader(int32_t capacity);
    virtual ~TWavFileReader();
    TWavFileReader(const TWavFileReader&) = delete;
    TWavFileReader& operator=(const TWavFileReader&) = delete;

    // Opens the file (closing any open one) and fills the read-ahead from its first frame.
    void Open(const std::string& fileName);
    void Close();
    // Restarts the counters and the read-ahead from the current file position.
    virtual void Rewind();
    virtual bool EndOfData() const { return FBuffer.EndOfData(); }

    // Reads raw sample bytes, never past the data chunk; returns the count read.
    int32_t ReadBytes(uint8_t* dest, int32_t len);
    // Reads up to count frames and writes their first channel to dest; returns the frames read.
    int32_t ReadSamples(int16_t* dest, int32_t count);

    bool IsOpen() const { return FHandle != nullptr; }
    void CheckOpen() const;
    int32_t Channels() const { return FInfo.Channels; }
    int32_t BytesPerSample() const { return FInfo.BytesPerSample; }
    int32_t SampleRate() const { return FInfo.SampleRate; }
    int32_t FrameCount() const;
    // Frame index, from the first data byte, of the block the buffer handed out last.
    int32_t Position() const;
    bool ShortRead() const { return FShortRead; }
    TReadBuffer& Buffer() { return FBuffer; }

private:
    int32_t FrameBytes() const { return FInfo.BytesPerSample * FInfo.Channels; }

    TReadBuffer FBuffer;
    std::string FFileName;
    TWaveHandle FHandle;
    TWaveInfo FInfo;
    bool FShortRead = false;
    std::vector<uint8_t> FRaw;       // raw frames on their way to the buffer
    int32_t FBytesRead = 0;          // sample-data bytes read since the last Rewind
};
