#pragma once
// The microphone input: records from the default input device between Start and Stop and delivers the
// recording at Stop, block by block, then the end call, so that the recognizer sees it as it sees a file.
// Between recordings a level meter reports the input level, and for hands-free listening hands on the whole
// running stream. Recorder and level meter never hold the device at the same time. Every operation is called
// on the main thread.
#include <cstdint>
#include <exception>
#include <memory>

#include "SovoInput.h"
#include "SovoMicLevelShowing.h"
#include "SovoMicRecording.h"

class TSovoMicInput : public TSovoInput {
public:
    // Accepts 1 channel, 2 bytes per sample at 8000, 11025, 22050 or 44100 Hz. Opens nothing yet. A recording
    // keeps its first maxSeconds.
    TSovoMicInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample,
                  double maxSeconds = TSovoMicRecording::kMaxSeconds);
    // Delivers a recording still running.
    ~TSovoMicInput() override;

    // Keeps proc for every level meter; starts a new meter unless a recording runs.
    void SetOnLevel(TSovoLevelProc proc);
    // Hands-free listening: between recordings every captured block goes to proc (on the main thread), not
    // to OnData; an empty proc ends it. Starts a new meter unless a recording runs.
    void SetOnListen(TSovoDataEvent proc);
    // What ended the level meter by itself (the device failed, the sound server went away); null while it runs.
    std::exception_ptr MeterFailure() const;
    // Ends the level meter and starts recording.
    void Start() override;
    // Discards the recording (the run mark stays as it is) and restarts the level meter.
    void Reset() override;
    // Ends the recording, delivers every complete block with progress and then the end call, and restarts
    // the level meter. Without a recording it only restarts the level meter.
    void Stop() override;
    // Buffers the running recording has filled so far, kept or not; 0 between recordings.
    int32_t CapturedBlocks() const { return FRecorder ? FRecorder->CapturedBlocks() : 0; }
    // The positive peak of the running recording's latest buffer, on the level meter's scale; 0 between
    // recordings, when the level meter reports instead.
    int32_t RecordingLevel() const { return FRecorder ? FRecorder->LastPeak() : 0; }

    TSovoProgressProc OnProgress;

private:
    void DeliverRecording();
    void RestartLevelMeter();

    std::unique_ptr<TSovoMicLevelShowing> FLevelMeter;
    std::unique_ptr<TSovoMicRecording> FRecorder;
    TSovoLevelProc FOnLevel;
    TSovoDataEvent FOnListen;
    double FMaxSeconds;
};
