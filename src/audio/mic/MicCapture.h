#pragma once
// What the recording thread and the level-meter thread share: the formats they record, their capture
// buffers and the device steps they take, each step raising its message when the device refuses.
#include <cstdint>
#include <span>
#include <vector>

#include "WaveIn.h"

// One channel, 2 bytes per sample, at one of the usual rates.
bool IsMicFormat(int32_t channels, int32_t sampleRate, int32_t bytesPerSample);
// Raises the recording threads' parameter message unless IsMicFormat.
void CheckMicRecordFormat(int32_t channels, int32_t sampleRate, int32_t bytesPerSample);

// Gives header a buffer of blockSize samples in storage. A block size below 1 gives an empty buffer, which
// the device refuses to prepare.
void AttachCaptureBuffer(TWaveHeader& header, std::vector<int16_t>& storage, int32_t blockSize);

// Opens the default input device, prepares and queues every buffer in order and starts capture. result
// keeps the outcome of the last device call.
void OpenCapture(TWaveIn& device, TWaveResult& result, const TPcmFormat& format, std::span<TWaveHeader> headers);
// Inside the capture loop: takes a filled buffer back from the device ...
void ReleaseCaptureBuffer(TWaveIn& device, TWaveResult& result, TWaveHeader& header);
// ... and hands it to the device again.
void RequeueCaptureBuffer(TWaveIn& device, TWaveResult& result, TWaveHeader& header);
