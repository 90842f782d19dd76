#include "SovoMicInput.h"

#include "MicCapture.h"
#include "SovoError.h"

namespace {

const char* const kBadParameters = "Неверные параметры записи (метод <Create> объект <MicInput>).";

} // namespace

TSovoMicInput::TSovoMicInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample,
                             double maxSeconds)
    : TSovoInput(blockSize, channels, sampleRate, bytesPerSample), FMaxSeconds(maxSeconds)
{
    if (!IsMicFormat(channels, sampleRate, bytesPerSample))
        throw ESovoError(kBadParameters);
}

TSovoMicInput::~TSovoMicInput()
{
    if (!IsRecording() || !FRecorder)
        return;
    TSovoInput::Stop();
    // A destructor cannot pass an exception on: one thrown by a receiver ends the delivery here.
    try {
        DeliverRecording();
    } catch (...) {
    }
}

void TSovoMicInput::SetOnLevel(TSovoLevelProc proc)
{
    FOnLevel = std::move(proc);
    if (!IsRecording())
        RestartLevelMeter();
}

void TSovoMicInput::SetOnListen(TSovoDataEvent proc)
{
    FOnListen = std::move(proc);
    if (!IsRecording())
        RestartLevelMeter();
}

std::exception_ptr TSovoMicInput::MeterFailure() const
{
    // A meter ends only when asked to, by its owner's destructor, or when its device fails.
    return FLevelMeter && FLevelMeter->Finished() ? FLevelMeter->FatalException() : nullptr;
}

void TSovoMicInput::Start()
{
    TSovoInput::Start();
    // The recorder opens first: the level meter takes up to one poll to end, and the words spoken meanwhile
    // belong to the command. A failed start leaves the meter running.
    try {
        FRecorder = std::make_unique<TSovoMicRecording>(FBlockSize, FChannels, FSampleRate, FBytesPerSample,
                                                        FMaxSeconds);
    } catch (...) {
        // Left marked, the input would refuse every later Start without ever having recorded.
        FRecording = false;
        throw;
    }
    FLevelMeter.reset();
}

void TSovoMicInput::Reset()
{
    FRecorder.reset();
    RestartLevelMeter();
}

void TSovoMicInput::Stop()
{
    if (FRecorder) {
        // The mark goes first: the facade's own stop request, made while it handles the result inside the
        // end call, then finds nothing to stop.
        TSovoInput::Stop();
        try {
            DeliverRecording();
        } catch (...) {
            // The input is back between recordings, where the meter runs, whatever the receiver raised.
            RestartLevelMeter();
            throw;
        }
    }
    RestartLevelMeter();
}

void TSovoMicInput::DeliverRecording()
{
    // Taken out of FRecorder so that the device is closed even when a receiver throws.
    std::unique_ptr<TSovoMicRecording> recorder = std::move(FRecorder);
    recorder->Terminate();
    recorder->WaitFor();
    const std::vector<std::vector<int16_t>>& blocks = recorder->Blocks();
    const auto total = static_cast<int32_t>(blocks.size());
    for (int32_t i = 0; i < total; ++i) {
        FCount = FBlockSize;
        FData = blocks[i].data();
        DoData();
        if (OnProgress)
            OnProgress(i, total);
    }
    recorder.reset();
    FData = nullptr;
    FCount = 0;
    DoData();
}

void TSovoMicInput::RestartLevelMeter()
{
    FLevelMeter.reset();
    FLevelMeter = std::make_unique<TSovoMicLevelShowing>(FBlockSize, FChannels, FSampleRate, FBytesPerSample);
    FLevelMeter->OnLevel = FOnLevel;
    // A block the meter still hands over after Start is dropped: the recording has the sound from then on.
    if (FOnListen) {
        FLevelMeter->OnSamples = [this](const int16_t* samples, int32_t count) {
            if (!IsRecording() && FOnListen)
                FOnListen(samples, count);
        };
    }
    FLevelMeter->Resume();
}
