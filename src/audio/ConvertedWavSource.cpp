#include "ConvertedWavSource.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

#include "WaveDecoder.h"

namespace {

int16_t ToInt16(float value)
{
    return static_cast<int16_t>(std::clamp(std::lrint(value * 32768.0f), -32768L, 32767L));
}

// The mono floats at rate resampled to sampleRate (soxr's high quality) and rounded to 16 bits.
bool Resample(const std::vector<float>& mono, int32_t rate, int32_t sampleRate, std::vector<int16_t>& samples)
{
    if (rate == sampleRate) {
        samples.resize(mono.size());
        std::transform(mono.begin(), mono.end(), samples.begin(), ToInt16);
        return true;
    }
    samples.resize(static_cast<std::size_t>(std::ceil(static_cast<double>(mono.size()) * sampleRate / rate)) + 1);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_INT16_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    size_t produced = 0;
    const soxr_error_t error = soxr_oneshot(rate, sampleRate, 1, mono.data(), mono.size(), nullptr,
                                            samples.data(), samples.size(), &produced, &io, &quality, nullptr);
    samples.resize(error ? 0 : produced);
    return !error;
}

} // namespace

bool TConvertedWavSource::Open(const std::string& fileName, int32_t sampleRate)
{
    FSamples.clear();
    TDecodedWave wave;
    const bool converted = DecodeWave(fileName, wave) && Resample(wave.Mono, wave.SampleRate, sampleRate, FSamples);
    if (!converted)
        FSamples.clear();
    FSampleRate = sampleRate;
    Rewind();
    return converted;
}

int64_t TConvertedWavSource::Rewind()
{
    const int32_t rate = FSampleRate;
    TSampleSource::Rewind();
    FSampleRate = rate;
    FBytesPerSample = 2;
    FChannels = 1;
    FTotalSamples = static_cast<int64_t>(FSamples.size());
    FFirst = 0;
    FLastCount = 0;
    return FTotalSamples;
}

bool TConvertedWavSource::EndOfData() const
{
    return Position() >= FTotalSamples;
}

int32_t TConvertedWavSource::Read(int32_t /*channel*/, const int16_t*& samples, int32_t count, int32_t skip)
{
    FFirst = std::min(FFirst + skip, FTotalSamples);
    FLastCount = std::min<int64_t>(count, FTotalSamples - FFirst);
    samples = FSamples.data() + FFirst;
    Advance(static_cast<int32_t>(FLastCount));
    return static_cast<int32_t>(FLastCount);
}

int64_t TConvertedWavSource::SampleCount() const
{
    return FTotalSamples;
}

int64_t TConvertedWavSource::Position() const
{
    return FFirst + FLastCount;
}
