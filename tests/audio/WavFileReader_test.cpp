#include "WavFileReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

// Frames whose first two bytes carry IndexedSamples and whose other bytes are filler.
Bytes WideFrames(int32_t frames, int32_t frameBytes)
{
    Bytes raw;
    for (const int16_t sample : IndexedSamples(frames)) {
        raw.push_back(static_cast<uint8_t>(sample));
        raw.push_back(static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8));
        raw.insert(raw.end(), static_cast<std::size_t>(frameBytes - 2), 0xEE);
    }
    return raw;
}

std::vector<int16_t> ReadAll(TWavFileReader& reader, int32_t blockSize)
{
    std::vector<int16_t> samples;
    const int16_t* p = nullptr;
    for (int32_t got = reader.Buffer().Read(0, blockSize, p); got != 0; got = reader.Buffer().Read(blockSize, blockSize, p))
        samples.insert(samples.end(), p, p + got);
    return samples;
}

template <typename T>
std::vector<T> Head(std::vector<T> items, std::size_t count)
{
    items.resize(count);
    return items;
}

TEST(WavFileReader, DeliversTheFirstChannelOfEveryFrame)
{
    Bytes unsignedBytes;
    std::vector<int16_t> unsignedSamples;
    for (int b = 0; b < 256; ++b) {
        unsignedBytes.push_back(static_cast<uint8_t>(b));
        unsignedSamples.push_back(static_cast<int16_t>(b * 256 - 32768));
    }
    std::vector<int16_t> interleaved;
    for (const int16_t sample : IndexedSamples(500)) {
        interleaved.push_back(sample);
        interleaved.push_back(static_cast<int16_t>(-sample));
    }
    const Bytes mono = Pcm16Data(IndexedSamples(2500));
    struct Case {
        const char* Name;
        Bytes File;
        int32_t Capacity;
        std::vector<int16_t> Expected;
    };
    const Case cases[] = {
        {"16-bit mono across refills", MonoWave(IndexedSamples(2500)), 1000, IndexedSamples(2500)},
        {"8-bit, 0x80 is silence", PcmWave(1, 22050, 8, unsignedBytes), 100, unsignedSamples},
        {"16-bit stereo", PcmWave(2, 22050, 16, Pcm16Data(interleaved)), 64, IndexedSamples(500)},
        {"16-bit, three channels", PcmWave(3, 22050, 16, WideFrames(400, 6)), 64, IndexedSamples(400)},
        {"24-bit stereo", PcmWave(2, 22050, 24, WideFrames(400, 6)), 64, IndexedSamples(400)},
        {"frames wider than the raw room", PcmWave(40, 22050, 16, WideFrames(30, 80)), 4, IndexedSamples(30)},
        {"data chunk longer than the file",
         RiffBytes({{"fmt ", PcmFormatData(1, 22050, 16), {}}, {"data", mono, 2 * 2500 * 2}}), 1000,
         IndexedSamples(2500)},
        {"chunk behind the data stays unread",
         RiffBytes({{"fmt ", PcmFormatData(1, 22050, 16), {}}, {"data", mono, {}}, {"LIST", Bytes(100, 0x7F), {}}}), 1000,
         IndexedSamples(2500)},
        {"trailing partial frame", PcmWave(1, 22050, 16, Head(Pcm16Data(IndexedSamples(4)), 7)), 16,
         Head(IndexedSamples(4), 3)},
        {"exactly one read-ahead", MonoWave(IndexedSamples(64)), 64, IndexedSamples(64)},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write("reader.wav", c.File);
        TWavFileReader reader(c.Capacity);
        reader.Open(path);
        EXPECT_TRUE(reader.IsOpen());
        EXPECT_EQ(reader.FrameCount(), static_cast<int32_t>(c.Expected.size()));
        EXPECT_EQ(ReadAll(reader, 3), c.Expected);
        EXPECT_TRUE(reader.EndOfData());
    }
}

TEST(WavFileReader, PositionIsTheFrameOfTheBlockHandedOutLast)
{
    TempDir dir;
    TWavFileReader reader(1000);
    reader.Open(dir.Write("mono.wav", MonoWave(IndexedSamples(2500))));
    EXPECT_EQ(reader.Position(), 0);
    const int16_t* p = nullptr;
    int32_t start = 0;
    for (int32_t got = reader.Buffer().Read(0, 300, p); got != 0; got = reader.Buffer().Read(300, 300, p)) {
        EXPECT_EQ(reader.Position(), start);
        EXPECT_EQ(*p, IndexedSamples(start + 1)[static_cast<std::size_t>(start)]);
        start += got;
    }
    EXPECT_EQ(start, 2500);
}

TEST(WavFileReader, ReadBytesStopsAtTheEndOfTheDataChunk)
{
    TempDir dir;
    const Bytes data = Pcm16Data(IndexedSamples(10));
    TWavFileReader reader(4);   // the read-ahead takes the first 8 bytes
    reader.Open(dir.Write("tail.wav", RiffBytes({{"fmt ", PcmFormatData(1, 22050, 16), {}}, {"data", data, {}},
                                                 {"LIST", Bytes(100, 0x7F), {}}})));
    Bytes dest(100, 0);
    EXPECT_EQ(reader.ReadBytes(dest.data(), 4), 4);
    EXPECT_FALSE(reader.ShortRead());
    EXPECT_EQ(Head(dest, 4), Bytes(data.begin() + 8, data.begin() + 12));
    EXPECT_EQ(reader.ReadBytes(dest.data(), 100), 8);
    EXPECT_TRUE(reader.ShortRead());
    EXPECT_EQ(Head(dest, 8), Bytes(data.begin() + 12, data.end()));
    EXPECT_EQ(reader.ReadBytes(dest.data(), 4), 0);
}

TEST(WavFileReader, OpenFailuresNameTheFileAndLeaveTheReaderUsable)
{
    TempDir dir;
    ::mkdir(dir.File("folder.wav").c_str(), 0700);
    const std::string refused[] = {
        dir.File("missing.wav"),
        dir.File("folder.wav"),
        dir.Write("data-first.wav", RiffBytes({{"data", Pcm16Data({1}), {}}, {"fmt ", PcmFormatData(1, 22050, 16), {}}})),
        dir.Write("float.wav", RiffBytes({{"fmt ", FormatData(3, 1, 22050, 4, 32), {}}, {"data", {0, 0, 0, 0}, {}}})),
        dir.Write("no-channels.wav", RiffBytes({{"fmt ", FormatData(1, 0, 22050, 2, 16), {}}, {"data", {0, 0}, {}}})),
    };
    const std::string good = dir.Write("good.wav", MonoWave(IndexedSamples(10)));
    TWavFileReader reader(16);
    for (const std::string& path : refused) {
        SCOPED_TRACE(path);
        reader.Open(good);
        try {
            reader.Open(path);
            ADD_FAILURE() << "opened";
        } catch (const EWaveFileError& e) {
            EXPECT_NE(dynamic_cast<const EOpenWaveError*>(&e), nullptr);
            EXPECT_EQ(std::string(e.what()), "Can not open file!\r" + path);
        }
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_EQ(reader.FrameCount(), 0) << "no format of a file that is not open";
    }
    reader.Open(good);
    EXPECT_EQ(ReadAll(reader, 4), IndexedSamples(10));
}

TEST(WavFileReader, ReadingWithoutAFileIsRefused)
{
    TempDir dir;
    TWavFileReader reader(16);
    uint8_t bytes[8];
    int16_t samples[4];
    const auto expectNotOpen = [](const auto& action) {
        try {
            action();
            ADD_FAILURE() << "read without a file";
        } catch (const EOpenWaveError& e) {
            EXPECT_STREQ(e.what(), "Not open file!");
        }
    };
    expectNotOpen([&] { reader.ReadBytes(bytes, 8); });
    expectNotOpen([&] { reader.ReadSamples(samples, 4); });
    reader.Open(dir.Write("mono.wav", MonoWave(IndexedSamples(10))));
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    expectNotOpen([&] { reader.Rewind(); });
}

} // namespace
