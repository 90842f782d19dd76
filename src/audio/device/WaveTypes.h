#pragma once
// What the capture and playback devices work with: a PCM format, buffers handed to a device and given back
// with a done flag, and a result code for every device call.
#include <atomic>
#include <cstdint>

// 0 means success; every other value names why a device call failed.
enum class TWaveResult : int32_t {
    Ok = 0,
    NoServer,        // the sound server cannot be reached or refused the stream
    BadFormat,       // the server cannot take samples in this format
    NotOpen,         // the device is not open
    BadBuffer,       // a buffer without storage
    NotPrepared,     // a buffer queued without being prepared first
    StillQueued,     // a buffer that the device still holds
    Busy,            // the playback device is still playing another buffer
    ServerFailed,    // the connection to the server was lost, or the server refused the request
    Timeout,         // the server did not answer in time
};

// Interleaved signed little-endian PCM (unsigned for one byte per sample).
struct TPcmFormat {
    int32_t Channels = 0;           // none until set: a device refuses such a format
    int32_t SampleRate = 0;
    int32_t BytesPerSample = 0;     // of one channel
};

// Flag bits of a buffer.
constexpr uint32_t kWaveDone = 1;       // set by the device when it gives the buffer back
constexpr uint32_t kWavePrepared = 2;
constexpr uint32_t kWaveQueued = 16;

// A buffer lent to a device. The owner keeps Data alive while the buffer is prepared. While the buffer is
// queued only the device touches it; the owner polls Flags for kWaveDone, which the device sets last, after
// it has written Data and BytesRecorded.
struct TWaveHeader {
    char* Data = nullptr;
    uint32_t BufferLength = 0;      // bytes
    uint32_t BytesRecorded = 0;     // bytes captured into Data
    std::atomic<uint32_t> Flags{0};

    bool IsDone() const { return (Flags.load(std::memory_order_acquire) & kWaveDone) != 0; }
};
