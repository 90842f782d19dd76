#pragma once
// The level-meter thread of the microphone input, run between recordings: captures one buffer at a time
// from the default input device and hands the positive peak of each to the main thread, and for hands-free
// listening the buffer's samples too. The device keeps what it captures while the buffer is away, so the
// buffers follow one another without a gap, and a listening meter asked to end hands on what the device holds
// already before it does.
#include <cstdint>
#include <functional>
#include <vector>

#include "SovoInput.h"
#include "WaveIn.h"
#include "WorkerThread.h"

// Called on the main thread as Proc(level, maxLevel).
using TSovoLevelProc = std::function<void(int32_t level, int32_t maxLevel)>;

class TSovoMicLevelShowing : public TWorkerThread {
public:
    static constexpr int32_t kMaxLevel = 32767;

    // Opens the device and starts capturing; the thread is created suspended. Raises the recording
    // messages on failure.
    TSovoMicLevelShowing(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample);
    ~TSovoMicLevelShowing() override;

    // Set by the owner before Resume; each is called on the main thread, for every buffer, when set.
    TSovoLevelProc OnLevel;
    TSovoDataEvent OnSamples;

protected:
    void Execute() override;

private:
    // Runs on the main thread.
    void DoLevel(int32_t count);
    void ReleaseDevice();

    TWaveIn FHandle;
    TWaveResult FResult = TWaveResult::Ok;
    TWaveHeader FHeader;
    std::vector<int16_t> FBuffer;
    int16_t FLevel = 0;
};
