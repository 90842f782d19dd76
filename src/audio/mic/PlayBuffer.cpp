#include "PlayBuffer.h"

#include <chrono>
#include <limits>
#include <thread>

#include "SovoError.h"
#include "WaveOut.h"

namespace {

const char* const kOpenFailed = "Ошибка открытия устройства вывода";
const char* const kPrepareFailed = "Ошибка подготовки буфера";
const char* const kWriteFailed = "Ошибка записи буфера в устройство вывода";

constexpr std::chrono::milliseconds kPollInterval{10};

} // namespace

void PlayBuffer(const int16_t* data, int32_t count, int32_t channels, int32_t sampleRate, int32_t bytesPerSample)
{
    // A negative count or one whose bytes do not fit a buffer length is refused like a buffer the device
    // cannot prepare, instead of reading memory that is not the caller's.
    const int64_t length = static_cast<int64_t>(count) * bytesPerSample;
    const bool lengthFits = length >= 0 && length <= std::numeric_limits<uint32_t>::max();
    TWaveHeader header;
    // The device only reads a buffer it plays.
    header.Data = const_cast<char*>(reinterpret_cast<const char*>(data));
    header.BufferLength = lengthFits ? static_cast<uint32_t>(length) : 0;

    TWaveOut device;
    if (device.Open({channels, sampleRate, bytesPerSample}) != TWaveResult::Ok)
        throw ESovoError(kOpenFailed);
    if (!lengthFits || device.Prepare(header) != TWaveResult::Ok) {
        device.Close();
        throw ESovoError(kPrepareFailed);
    }
    if (device.Write(header) != TWaveResult::Ok) {
        device.Unprepare(header);
        device.Close();
        throw ESovoError(kWriteFailed);
    }
    while (!header.IsDone())
        std::this_thread::sleep_for(kPollInterval);
    device.Reset();
    device.Unprepare(header);
    device.Close();
}
