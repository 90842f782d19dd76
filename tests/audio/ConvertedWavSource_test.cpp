// WAV files of other formats reach a 22050 Hz 16-bit mono input converted: every integer width, float, the
// extensible header, any channel count and rate give the same tone, as long as the file says it lasts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ConvertedWavSource.h"
#include "SovoInput.h"
#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

constexpr double kTone = 440.0;
constexpr double kAmplitude = 0.5;
constexpr double kSeconds = 0.5;

struct Format {
    const char* Name;
    uint16_t Tag;          // 1 integer PCM, 3 float, 0xFFFE extensible
    uint16_t SubTag;       // the extensible header's real format
    uint16_t Bytes;        // per sample
    uint16_t Channels;
    uint32_t Rate;
};

double ToneAt(double seconds)
{
    return kAmplitude * std::sin(2.0 * M_PI * kTone * seconds);
}

void PutSample(wavetest::Bytes& out, double value, const Format& format)
{
    const bool isFloat = format.Tag == 3 || (format.Tag == 0xFFFE && format.SubTag == 3);
    uint8_t bytes[8];
    if (isFloat && format.Bytes == 4) {
        const auto f = static_cast<float>(value);
        std::memcpy(bytes, &f, 4);
    } else if (isFloat) {
        std::memcpy(bytes, &value, 8);
    } else if (format.Bytes == 1) {
        bytes[0] = static_cast<uint8_t>(std::lrint(value * 127.0) + 128);
    } else {
        const auto word = static_cast<uint32_t>(static_cast<int32_t>(std::lrint(value * 2147483647.0)));
        for (int i = 0; i < format.Bytes; ++i)
            bytes[i] = static_cast<uint8_t>(word >> (8 * (4 - format.Bytes + i)));
    }
    out.insert(out.end(), bytes, bytes + format.Bytes);
}

// The tone in the format; channels carry it at different gains that average to 1.
wavetest::Bytes ToneFile(const Format& format)
{
    const auto frames = static_cast<int32_t>(kSeconds * format.Rate);
    wavetest::Bytes data;
    for (int32_t i = 0; i < frames; ++i) {
        for (uint16_t channel = 0; channel < format.Channels; ++channel) {
            const double gain = format.Channels == 1 ? 1.0 : (channel % 2 == 0 ? 1.2 : 0.8);
            PutSample(data, ToneAt(static_cast<double>(i) / format.Rate) * gain, format);
        }
    }
    const auto blockAlign = static_cast<uint16_t>(format.Bytes * format.Channels);
    wavetest::Bytes header = FormatData(format.Tag, format.Channels, format.Rate, blockAlign,
                                        static_cast<uint16_t>(format.Bytes * 8), format.Tag == 0xFFFE ? 40 : 16);
    if (format.Tag == 0xFFFE) {
        header[16] = 22;                           // extension size
        header[24] = static_cast<uint8_t>(format.SubTag);
    }
    return RiffBytes({{"fmt ", header, {}}, {"data", data, {}}});
}

TEST(ConvertedWavSource, EveryUncompressedFormatGivesTheSameTone)
{
    const Format formats[] = {
        {"8-bit", 1, 0, 1, 1, 22050},
        {"24-bit", 1, 0, 3, 1, 22050},
        {"32-bit", 1, 0, 4, 1, 22050},
        {"32-bit float", 3, 0, 4, 1, 22050},
        {"64-bit float", 3, 0, 8, 1, 22050},
        {"stereo", 1, 0, 2, 2, 22050},
        {"44100 Hz stereo", 1, 0, 2, 2, 44100},
        {"48000 Hz 24-bit", 1, 0, 3, 1, 48000},
        {"16000 Hz", 1, 0, 2, 1, 16000},
        {"8000 Hz six channels", 1, 0, 2, 6, 8000},
        {"extensible 16-bit", 0xFFFE, 1, 2, 1, 22050},
        {"extensible 96000 Hz float stereo", 0xFFFE, 3, 4, 2, 96000},
    };
    TempDir dir;
    for (const Format& format : formats) {
        SCOPED_TRACE(format.Name);
        TSovoFileInput input(1024, 1, 22050, 2);
        std::vector<int16_t> got;
        input.OnData = [&](const int16_t* samples, int32_t count) { got.insert(got.end(), samples, samples + count); };
        input.SetName(dir.Write("tone.wav", ToneFile(format)));
        input.Start();
        EXPECT_NEAR(static_cast<double>(got.size()), kSeconds * 22050, 2.0);
        // Away from the ends, where the resampler's filter sees the file's edges, the tone is unchanged.
        double error = 0.0;
        int32_t compared = 0;
        for (std::size_t i = 500; i + 500 < got.size(); ++i, ++compared)
            error += std::pow(got[i] / 32768.0 - ToneAt(static_cast<double>(i) / 22050), 2);
        ASSERT_GT(compared, 0);
        EXPECT_LT(std::sqrt(error / compared), 0.01 * kAmplitude);
    }
}

TEST(ConvertedWavSource, DeliversInConsecutiveBlocksAndStartsAgainOnRewind)
{
    TempDir dir;
    const std::string path = dir.Write("stereo.wav", PcmWave(2, 22050, 16, Pcm16Data(IndexedSamples(2 * 2500))));
    TConvertedWavSource source;
    ASSERT_TRUE(source.Open(path, 22050));
    EXPECT_EQ(source.TotalSamples(), 2500);
    const int16_t* samples = nullptr;
    EXPECT_EQ(source.Read(1, samples, 1024, 0), 1024);
    EXPECT_EQ(source.Read(1, samples, 1024, 1024), 1024);
    EXPECT_EQ(source.Position(), 2048);
    EXPECT_EQ(source.Read(1, samples, 1024, 1024), 452);
    EXPECT_TRUE(source.EndOfData());
    EXPECT_EQ(source.Read(1, samples, 1024, 1024), 0);
    EXPECT_EQ(source.Rewind(), 2500);
    EXPECT_EQ(source.Position(), 0);
    EXPECT_FALSE(source.EndOfData());
}

TEST(ConvertedWavSource, FilesItCannotReadLeaveItEmpty)
{
    TempDir dir;
    struct Case {
        const char* Name;
        std::string Path;
    };
    const Case cases[] = {
        {"missing", dir.File("missing.wav")},
        {"compressed", dir.Write("adpcm.wav", RiffBytes({{"fmt ", FormatData(2, 1, 22050, 256, 4, 20), {}},
                                                         {"data", wavetest::Bytes(512, 0), {}}}))},
        {"short format header", dir.Write("short.wav", RiffBytes({{"fmt ", wavetest::Bytes(10, 1), {}},
                                                                  {"data", wavetest::Bytes(64, 0), {}}}))},
        {"no data chunk", dir.Write("nodata.wav", RiffBytes({{"fmt ", PcmFormatData(2, 44100, 16), {}}}))},
        {"extensible header cut short", dir.Write("cut.wav", RiffBytes({{"fmt ", FormatData(0xFFFE, 1, 22050, 2, 16, 18), {}},
                                                                         {"data", wavetest::Bytes(64, 0), {}}}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TConvertedWavSource source;
        EXPECT_FALSE(source.Open(c.Path, 22050));
        EXPECT_EQ(source.TotalSamples(), 0);
    }
}

}  // namespace
