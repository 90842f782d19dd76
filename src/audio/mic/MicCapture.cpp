#include "MicCapture.h"

#include <algorithm>

#include "SovoError.h"

namespace {

const char* const kBadParameters = "Неверные параметры записи (метод <Create> объект <MicRecord>).";
const char* const kOpenFailed = "Ошибка открытия устройства записи (метод <Create> объект <MicRecord>).";
const char* const kPrepareOnCreate = "Ошибка подготовки буфера записи (метод <Create> объект <MicRecord>).";
const char* const kAddOnCreate = "Ошибка добавления буфера записи (метод <Create> объект <MicRecord>).";
const char* const kStartFailed = "Ошибка начала записи (метод <Create> объект <MicRecord>).";
const char* const kReleaseInLoop = "Ошибка освобождения буфера записи (метод <Execute> объект <MicRecord>).";
const char* const kPrepareInLoop = "Ошибка подготовки буфера записи (метод <Execute> объект <MicRecord>).";
const char* const kAddInLoop = "Ошибка добавления буфера записи (метод <Execute> объект <MicRecord>).";

void Check(TWaveResult& result, TWaveResult callResult, const char* message)
{
    result = callResult;
    if (result != TWaveResult::Ok)
        throw ESovoError(message);
}

} // namespace

bool IsMicFormat(int32_t channels, int32_t sampleRate, int32_t bytesPerSample)
{
    const bool usualRate = sampleRate == 8000 || sampleRate == 11025 || sampleRate == 22050 || sampleRate == 44100;
    return channels == 1 && usualRate && bytesPerSample == 2;
}

void CheckMicRecordFormat(int32_t channels, int32_t sampleRate, int32_t bytesPerSample)
{
    if (!IsMicFormat(channels, sampleRate, bytesPerSample))
        throw ESovoError(kBadParameters);
}

void AttachCaptureBuffer(TWaveHeader& header, std::vector<int16_t>& storage, int32_t blockSize)
{
    storage.assign(static_cast<size_t>(std::max(blockSize, 0)), 0);
    header.Data = reinterpret_cast<char*>(storage.data());
    header.BufferLength = static_cast<uint32_t>(storage.size() * sizeof(int16_t));
    header.BytesRecorded = 0;
    header.Flags.store(0);
}

void OpenCapture(TWaveIn& device, TWaveResult& result, const TPcmFormat& format, std::span<TWaveHeader> headers)
{
    Check(result, device.Open(format), kOpenFailed);
    for (TWaveHeader& header : headers) {
        Check(result, device.Prepare(header), kPrepareOnCreate);
        Check(result, device.Add(header), kAddOnCreate);
    }
    Check(result, device.Start(), kStartFailed);
}

void ReleaseCaptureBuffer(TWaveIn& device, TWaveResult& result, TWaveHeader& header)
{
    Check(result, device.Unprepare(header), kReleaseInLoop);
}

void RequeueCaptureBuffer(TWaveIn& device, TWaveResult& result, TWaveHeader& header)
{
    Check(result, device.Prepare(header), kPrepareInLoop);
    Check(result, device.Add(header), kAddInLoop);
}
