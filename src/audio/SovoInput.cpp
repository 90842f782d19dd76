#include "SovoInput.h"

#include <exception>

#include "ConvertedWavSource.h"
#include "SovoError.h"

namespace {

const char* const kAlreadyRecording = "Запись уже идет (метод <Start> объект <Input>).";
const char* const kAlreadyStopped = "Запись уже остановлена (метод <Stop> объект <Input>).";
const char* const kNoNameOnStart = "Нет имени файла для ввода (метод <Start> объект <FileInput>).";
const char* const kNoNameOnReset = "Нет имени файла для ввода (метод <Reset> объект <FileInput>).";
const char* const kNoNameOnSetName = "Нет имени файла для ввода (метод <SetName> объект <FileInput>).";
const char* const kUnsupportedFormat =
    "Не поддерживаемый формат файла.\rПока работаю только с файлами:\r22050 16 бит Моно\r"
    "(метод <SetName> объект <FileInput>)";

} // namespace

TSovoInput::TSovoInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample)
    : FBlockSize(blockSize), FChannels(channels), FSampleRate(sampleRate), FBytesPerSample(bytesPerSample)
{
}

void TSovoInput::Start()
{
    if (FRecording)
        throw ESovoError(kAlreadyRecording);
    FRecording = true;
}

void TSovoInput::Stop()
{
    if (!FRecording)
        throw ESovoError(kAlreadyStopped);
    FRecording = false;
}

void TSovoInput::DoData()
{
    if (OnData)
        OnData(FData, FCount);
}

TSovoFileInput::TSovoFileInput(int32_t blockSize, int32_t channels, int32_t sampleRate, int32_t bytesPerSample)
    : TSovoInput(blockSize, channels, sampleRate, bytesPerSample)
{
}

TSovoFileInput::~TSovoFileInput()
{
    if (IsRecording())
        Stop();
}

void TSovoFileInput::SetName(const std::string& fileName)
{
    FSource.reset();
    if (fileName.empty())
        throw ESovoError(kNoNameOnSetName);
    FData = nullptr;
    FCount = 0;
    FFileName = fileName;
    // The source becomes current only once it has passed the format check or been converted.
    auto source = std::make_unique<TWavFileSource>();
    try {
        source->Open(FFileName);
    } catch (const std::exception&) {
        // Float and extensible headers are no files for the reader, but may be converted.
        FSource = Converted();
        if (!FSource)
            throw;
        return;
    }
    if (source->SampleRate() != FSampleRate || source->BytesPerSample() != FBytesPerSample ||
        source->Channels() != FChannels) {
        FSource = Converted();
        if (!FSource)
            throw ESovoError(kUnsupportedFormat);
        return;
    }
    source->Rewind();
    FSource = std::move(source);
}

std::unique_ptr<TSampleSource> TSovoFileInput::Converted() const
{
    // Conversion gives 16-bit mono only; an input that wants another format keeps to its own.
    if (FChannels != 1 || FBytesPerSample != 2)
        return nullptr;
    auto source = std::make_unique<TConvertedWavSource>();
    if (!source->Open(FFileName, FSampleRate))
        return nullptr;
    return source;
}

void TSovoFileInput::Start()
{
    if (!FSource)
        throw ESovoError(kNoNameOnStart);
    TSovoInput::Start();
    // Each read steps past the block just delivered, so the blocks are consecutive and never overlap.
    FCount = FSource->Read(1, FData, FBlockSize, 0);
    while (FCount != 0) {
        DoData();
        DoProgress();
        FCount = FSource->Read(1, FData, FBlockSize, FBlockSize);
    }
    FCount = 0;
    DoData();
}

void TSovoFileInput::Reset()
{
    if (!FSource)
        throw ESovoError(kNoNameOnReset);
    SetName(FFileName);
}

void TSovoFileInput::DoProgress()
{
    if (OnProgress)
        OnProgress(static_cast<int32_t>(FSource->Position()), static_cast<int32_t>(FSource->TotalSamples()));
}
