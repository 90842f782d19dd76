#include "R_SOURCE.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

std::vector<int16_t> Samples(const int16_t* p, int32_t count)
{
    return std::vector<int16_t>(p, p + count);
}

std::vector<int16_t> Slice(const std::vector<int16_t>& all, int32_t first, int32_t count)
{
    return std::vector<int16_t>(all.begin() + first, all.begin() + first + count);
}

TEST(WavFileSource, RewindReportsTheTotalAndStartsOverAtTheFirstSample)
{
    TempDir dir;
    const std::vector<int16_t> all = IndexedSamples(70000);   // more than one read-ahead
    TWavFileSource source;
    source.Open(dir.Write("long.wav", MonoWave(all)));
    EXPECT_EQ(source.SampleRate(), 22050);
    EXPECT_EQ(source.BytesPerSample(), 2);
    EXPECT_EQ(source.Channels(), 1);
    EXPECT_EQ(source.TotalSamples(), 70000);
    EXPECT_EQ(source.SampleCount(), source.TotalSamples());

    const int16_t* p = nullptr;
    ASSERT_EQ(source.Read(1, p, 40000, 0), 40000);
    ASSERT_EQ(source.Read(1, p, 40000, 40000), 30000);
    EXPECT_EQ(Samples(p, 30000), Slice(all, 40000, 30000));
    EXPECT_EQ(source.Position(), 40000);
    EXPECT_EQ(source.Read(1, p, 40000, 30000), 0);

    EXPECT_EQ(source.Rewind(), 70000);
    ASSERT_EQ(source.Read(1, p, 5, 0), 5);
    EXPECT_EQ(Samples(p, 5), Slice(all, 0, 5));
    EXPECT_EQ(source.Position(), 0);
}

TEST(WavFileSource, StereoCountsFramesTimesChannels)
{
    TempDir dir;
    TWavFileSource source;
    source.Open(dir.Write("stereo.wav", PcmWave(2, 44100, 16, Pcm16Data(IndexedSamples(20)))));
    EXPECT_EQ(source.SampleRate(), 44100);
    EXPECT_EQ(source.Channels(), 2);
    EXPECT_EQ(source.SampleCount(), 10);
    EXPECT_EQ(source.TotalSamples(), 20);
}

TEST(WavFileSource, ReadSampleWalksTheFirstChannelThenGivesZero)
{
    TempDir dir;
    const std::vector<int16_t> all = {-5, 7, 300, -32768};
    TWavFileSource source;
    source.Open(dir.Write("short.wav", MonoWave(all)));
    for (const int16_t expected : all)
        EXPECT_EQ(source.ReadSample(1), expected);
    EXPECT_EQ(source.ReadSample(1), 0);
    EXPECT_TRUE(source.EndOfData());
}

TEST(WavFileSource, WithoutAFileNameRewindReportsNothing)
{
    TWavFileSource source;
    EXPECT_EQ(source.Rewind(), 0);
    EXPECT_EQ(source.SampleRate(), 0);
    EXPECT_EQ(source.Channels(), 0);
    EXPECT_EQ(source.SampleCount(), 0);
    EXPECT_EQ(source.Position(), 0);
    const int16_t* p = nullptr;
    EXPECT_EQ(source.Read(1, p, 1024, 0), 0);
}

TEST(WavFileSource, OpenErrorsPassThrough)
{
    TempDir dir;
    TWavFileSource source;
    const std::string path = dir.File("missing.wav");
    EXPECT_THROW(source.Open(path), EOpenWaveError);
}

} // namespace
