#pragma once
// The recording thread of the microphone input: keeps three capture buffers queued on the default input
// device and copies every buffer that fills into a new block, up to a limit: a key held down for hours (a stuck
// Ctrl) must not take memory without bound, and the recognizer analyses no more than a minute of an utterance.
// Besides, it notes each buffer's peak for a level meter to read. It never calls back: its owner asks it to end,
// waits for it and only then reads the blocks.
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "WaveIn.h"
#include "WorkerThread.h"

class TSovoMicRecording : public TWorkerThread {
public:
    static constexpr int32_t kBufferCount = 3;
    static constexpr double kMaxSeconds = 60.0;   // kept of a recording; the rest is captured and dropped

    // Opens the device and starts capturing and the thread; raises the recording messages on failure.
    TSovoMicRecording(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample,
                      double maxSeconds = kMaxSeconds);
    ~TSovoMicRecording() override;

    // The collected blocks, blockSize samples each, in the order they were captured: those of the first
    // maxSeconds.
    const std::vector<std::vector<int16_t>>& Blocks() const { return FBlocks; }
    // How many buffers have filled so far, kept or not; may be read from any thread while the recording runs.
    int32_t CapturedBlocks() const { return FCaptured.load(); }
    // The positive peak of the buffer that filled last (0 before the first), for a level meter; may be read
    // from any thread.
    int32_t LastPeak() const { return FLastPeak.load(); }

protected:
    void Execute() override;

private:
    // Keeps the block of the next buffer in turn when it has filled, takes the buffer back from the device and
    // clears its marks; false when it has not filled.
    bool KeepFilledBuffer();
    // Gives every buffer back and closes the device, whatever state a failed start left it in.
    void ReleaseDevice();

    TWaveIn FHandle;
    TWaveResult FResult = TWaveResult::Ok;
    std::array<TWaveHeader, kBufferCount> FHeaders;
    std::array<std::vector<int16_t>, kBufferCount> FBuffers;
    int32_t FCurrent = 0;                  // the buffer expected to fill next
    size_t FMaxBlocks;
    std::vector<std::vector<int16_t>> FBlocks;
    std::atomic<int32_t> FCaptured{0};
    std::atomic<int32_t> FLastPeak{0};
};
