#pragma once
// Sources of 16-bit samples that hand out blocks by pointer, and the WAV file source.
#include <cstdint>
#include <memory>
#include <string>

#include "WavFileReader.h"

// Format-independent source. The base delivers nothing; it keeps the count of samples handed out.
class TSampleSource {
public:
    TSampleSource() = default;
    virtual ~TSampleSource() = default;
    TSampleSource(const TSampleSource&) = delete;
    TSampleSource& operator=(const TSampleSource&) = delete;

    // Starts again at the first sample; returns the total sample count.
    virtual int64_t Rewind();
    virtual void Close() {}
    virtual bool EndOfData() const { return true; }
    // Up to count samples, starting skip samples after the first of the block handed out last; samples
    // points into the source's storage and stays valid until the next Read, Rewind or Close.
    virtual int32_t Read(int32_t channel, const int16_t*& samples, int32_t count, int32_t skip);
    // The next sample of the channel, or 0 when there is none.
    virtual int32_t ReadSample(int32_t channel);
    virtual int64_t SampleCount() const { return 0; }
    virtual int64_t Position() const { return FDelivered; }

    int64_t Advance(int32_t count);
    int32_t SampleRate() const { return FSampleRate; }
    int32_t BytesPerSample() const { return FBytesPerSample; }
    int32_t Channels() const { return FChannels; }
    int64_t TotalSamples() const { return FTotalSamples; }

protected:
    int64_t FDelivered = 0;       // samples handed out since the last Rewind
    int32_t FSampleRate = 0;
    int32_t FBytesPerSample = 0;
    int32_t FChannels = 0;
    int64_t FTotalSamples = 0;    // frames * channels
};

class TWavFileSource : public TSampleSource {
public:
    TWavFileSource();

    // Opens the file and reads its format. EOpenWaveError and EReadWaveError pass through.
    void Open(const std::string& fileName);

    // Reopens the file at its first frame. Without a file name there is nothing to open and every format
    // value, the total included, reads 0.
    int64_t Rewind() override;
    void Close() override;
    bool EndOfData() const override;
    int32_t Read(int32_t channel, const int16_t*& samples, int32_t count, int32_t skip) override;
    int64_t SampleCount() const override;
    int64_t Position() const override;

private:
    // About 3 s at 22050 Hz: a whole utterance is usually read in one piece.
    static constexpr int32_t kReadAheadSamples = 65536;

    std::unique_ptr<TWavFileReader> FReader;   // closes its file when freed
    std::string FFileName;
};
