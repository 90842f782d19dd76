#include "R_SOURCE.h"

int64_t TSampleSource::Rewind()
{
    FDelivered = 0;
    FSampleRate = 0;
    return 0;
}

int32_t TSampleSource::Read(int32_t /*channel*/, const int16_t*& /*samples*/, int32_t /*count*/,
                            int32_t /*skip*/)
{
    Advance(0);
    return 0;
}

int32_t TSampleSource::ReadSample(int32_t channel)
{
    const int16_t* sample = nullptr;
    const int32_t skip = FDelivered == 0 ? 0 : 1;
    return Read(channel, sample, 1, skip) == 1 ? *sample : 0;
}

int64_t TSampleSource::Advance(int32_t count)
{
    FDelivered += count;
    return FDelivered;
}

TWavFileSource::TWavFileSource() : FReader(std::make_unique<TWavFileReader>(kReadAheadSamples)) {}

void TWavFileSource::Open(const std::string& fileName)
{
    FFileName = fileName;
    Rewind();
}

int64_t TWavFileSource::Rewind()
{
    TSampleSource::Rewind();
    if (!FFileName.empty())
        FReader->Open(FFileName);
    FSampleRate = FReader->SampleRate();
    FBytesPerSample = FReader->BytesPerSample();
    FChannels = FReader->Channels();
    FTotalSamples = static_cast<int64_t>(FReader->FrameCount()) * FChannels;
    return FTotalSamples;
}

void TWavFileSource::Close()
{
    FReader->Close();
}

bool TWavFileSource::EndOfData() const
{
    return FReader->EndOfData();
}

int32_t TWavFileSource::Read(int32_t /*channel*/, const int16_t*& samples, int32_t count, int32_t skip)
{
    const int32_t got = FReader->Buffer().Read(skip, count, samples);
    Advance(got);
    return got;
}

int64_t TWavFileSource::SampleCount() const
{
    return FReader->FrameCount();
}

int64_t TWavFileSource::Position() const
{
    return FReader->Position();
}
