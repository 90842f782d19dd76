#include "SovoMicLevelShowing.h"

#include <algorithm>
#include <chrono>
#include <span>

#include "MicCapture.h"

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};
// A listener acts on the end of a command, so it gets each buffer soon after it has filled.
constexpr std::chrono::milliseconds kListeningPollInterval{10};

} // namespace

TSovoMicLevelShowing::TSovoMicLevelShowing(int32_t blockSize, int32_t channels, int32_t sampleRate,
                                           int32_t bytesPerSample)
{
    CheckMicRecordFormat(channels, sampleRate, bytesPerSample);
    AttachCaptureBuffer(FHeader, FBuffer, blockSize);
    try {
        OpenCapture(FHandle, FResult, {channels, sampleRate, bytesPerSample}, std::span<TWaveHeader>(&FHeader, 1));
    } catch (...) {
        ReleaseDevice();
        throw;
    }
}

TSovoMicLevelShowing::~TSovoMicLevelShowing()
{
    Terminate();
    WaitFor();
    ReleaseDevice();
}

void TSovoMicLevelShowing::Execute()
{
    // Asked to end, a listening meter first hands on the sound the device has captured already: the end of
    // the stream is the end of what was said before it.
    while (!Terminated() || (OnSamples && FHeader.IsDone())) {
        if (!FHeader.IsDone()) {
            PauseUnlessTerminated(OnSamples ? kListeningPollInterval : kPollInterval);
            continue;
        }
        ReleaseCaptureBuffer(FHandle, FResult, FHeader);
        FLevel = 0;
        const auto recorded = std::span<const int16_t>(FBuffer).first(FHeader.BytesRecorded / sizeof(int16_t));
        for (const int16_t sample : recorded)
            FLevel = std::max(FLevel, sample);
        Synchronize([this, count = static_cast<int32_t>(recorded.size())] { DoLevel(count); });
        FHeader.BytesRecorded = 0;
        FHeader.Flags.store(0);
        RequeueCaptureBuffer(FHandle, FResult, FHeader);
    }
}

void TSovoMicLevelShowing::DoLevel(int32_t count)
{
    if (OnLevel)
        OnLevel(FLevel, kMaxLevel);
    if (OnSamples && count > 0)
        OnSamples(FBuffer.data(), count);
}

void TSovoMicLevelShowing::ReleaseDevice()
{
    FHandle.Stop();
    FHandle.Unprepare(FHeader);
    FHandle.Close();
}
