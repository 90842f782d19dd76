#pragma once
// Audio inputs: deliver mono 16-bit samples in blocks through OnData and end each utterance with one call
// that carries no samples. The file input pushes a whole WAV file through OnData inside Start.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "R_SOURCE.h"

// Samples per block as the program's inputs deliver them: the window's file and microphone inputs and the
// command line (the microphone's capture buffers are blocks of this size too).
constexpr int32_t kInputBlockSize = 1024;

// samples: count consecutive samples, valid only during the call; count 0 = end of data.
using TSovoDataEvent = std::function<void(const int16_t* samples, int32_t count)>;
using TSovoProgressProc = std::function<void(int32_t position, int32_t total)>;

class TSovoInput {
public:
    TSovoInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample);
    virtual ~TSovoInput() = default;
    TSovoInput(const TSovoInput&) = delete;
    TSovoInput& operator=(const TSovoInput&) = delete;

    // Marks a run; throws when one is already marked. Inputs call it before they deliver or record.
    virtual void Start();
    virtual void Reset() = 0;
    // Clears the run mark; throws when none is set.
    virtual void Stop();
    bool IsRecording() const { return FRecording; }

    TSovoDataEvent OnData;

protected:
    // Hands the current block (FData, FCount) to OnData, if set.
    void DoData();

    int32_t FBlockSize;           // samples per delivered block
    int32_t FChannels;            // required format of the samples
    int32_t FSampleRate;
    int32_t FBytesPerSample;
    const int16_t* FData = nullptr;
    int32_t FCount = 0;
    bool FRecording = false;
};

class TSovoFileInput : public TSovoInput {
public:
    TSovoFileInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample);
    ~TSovoFileInput() override;

    // Opens the file and checks that its format is the required one; a WAV file of another uncompressed
    // format (for 16-bit mono inputs) is converted to it instead. On any failure the input is left
    // without a file, so that a later Start or Reset is refused instead of delivering something else.
    void SetName(const std::string& fileName);
    // Delivers the whole file in blocks, then the end call, reporting progress after every block.
    void Start() override;
    // Reopens the file at its first sample; the run mark is left as it is.
    void Reset() override;

    TSovoProgressProc OnProgress;

private:
    void DoProgress();
    // FFileName converted to the required format, or null when it cannot be.
    std::unique_ptr<TSampleSource> Converted() const;

    std::string FFileName;
    std::unique_ptr<TSampleSource> FSource;
};
