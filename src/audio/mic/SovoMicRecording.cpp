#include "SovoMicRecording.h"

#include <algorithm>
#include <chrono>

#include "MicCapture.h"

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

} // namespace

TSovoMicRecording::TSovoMicRecording(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample,
                                     double maxSeconds)
    : FMaxBlocks(blockSize > 0 ? static_cast<size_t>(std::max(0.0, maxSeconds) * sampleRate / blockSize) : 0)
{
    CheckMicRecordFormat(channels, sampleRate, bytesPerSample);
    for (int32_t i = 0; i < kBufferCount; ++i)
        AttachCaptureBuffer(FHeaders[i], FBuffers[i], blockSize);
    try {
        OpenCapture(FHandle, FResult, {channels, sampleRate, bytesPerSample}, FHeaders);
    } catch (...) {
        ReleaseDevice();
        throw;
    }
    Resume();
}

TSovoMicRecording::~TSovoMicRecording()
{
    Terminate();
    WaitFor();
    ReleaseDevice();
}

void TSovoMicRecording::Execute()
{
    // Buffers fill strictly in queue order, so only the next one in turn is looked at; when several have
    // filled during a pause, they are taken in successive passes without pausing. Asked to end, it still takes
    // every buffer that has filled: the last words before the release of the key belong to the command.
    while (true) {
        TWaveHeader& header = FHeaders[FCurrent];
        if (!header.IsDone()) {
            if (Terminated())
                break;
            PauseUnlessTerminated(kPollInterval);
            continue;
        }
        ReleaseCaptureBuffer(FHandle, FResult, header);
        const std::vector<int16_t>& filled = FBuffers[FCurrent];
        FLastPeak.store(filled.empty() ? 0 : *std::max_element(filled.begin(), filled.end()));
        if (FBlocks.size() < FMaxBlocks)
            FBlocks.push_back(filled);
        ++FCaptured;
        header.Flags.store(0);
        RequeueCaptureBuffer(FHandle, FResult, header);
        FCurrent = (FCurrent + 1) % kBufferCount;
    }
    // Buffers handed back by the reset are not full: they are not collected.
    FResult = FHandle.Reset();
}

void TSovoMicRecording::ReleaseDevice()
{
    FHandle.Reset();
    for (TWaveHeader& header : FHeaders)
        FHandle.Unprepare(header);
    FHandle.Stop();
    FHandle.Close();
}
