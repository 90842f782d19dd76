#include "Wavfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

const Bytes kPayload = Pcm16Data({1, 2, 3, 4});
const Bytes kMonoFormat = PcmFormatData(1, 22050, 16);

Chunk Fmt(const Bytes& data = kMonoFormat) { return {"fmt ", data, {}}; }
Chunk Data(const Bytes& data = kPayload, std::optional<uint32_t> declared = {}) { return {"data", data, declared}; }

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Prefix(Bytes bytes, std::size_t count)
{
    bytes.resize(count);
    return bytes;
}

struct OpenCase {
    const char* Name;
    Bytes File;
    int32_t Code;
    int32_t DataOffset = 0;
    int32_t DataSize = 0;
};

std::vector<OpenCase> OpenCases()
{
    const Bytes plain = RiffBytes({Fmt(), Data()});
    return {
        {"plain 44-byte header", plain, kWaveOk, 44, 8},
        {"odd LIST between fmt and data", RiffBytes({Fmt(), {"LIST", {1, 2, 3, 4, 5}, {}}, Data()}), kWaveOk, 58, 8},
        {"LIST before fmt", RiffBytes({{"LIST", {1, 2, 3, 4}, {}}, Fmt(), Data()}), kWaveOk, 56, 8},
        {"fmt of 18 bytes", RiffBytes({Fmt(Prefix(kMonoFormat, 18)), Data()}), kWaveOk, 46, 8},
        {"fmt of 40 bytes", RiffBytes({Fmt(Prefix(kMonoFormat, 40)), Data()}), kWaveOk, 68, 8},
        {"odd fmt padded", RiffBytes({Fmt(Prefix(kMonoFormat, 17)), Data()}), kWaveOk, 46, 8},
        {"data searched behind fmt", RiffBytes({Data({9, 9}), Fmt(), Data()}), kWaveOk, 54, 8},
        {"other RIFF form first", Concat(RiffBytes({Data()}, {}, "AVI "), plain), kWaveOk, 28 + 44, 8},
        {"empty data", RiffBytes({Fmt(), Data({})}), kWaveOk, 44, 0},
        {"data size beyond the file", RiffBytes({Fmt(), Data(kPayload, 1000)}), kWaveOk, 44, 8},
        {"sizes near 2^32", RiffBytes({Fmt(), Data(kPayload, 0xFFFFFFFFu)}, 0xFFFFFFFFu), kWaveOk, 44, 8},
        {"odd data cut by the file end", Prefix(plain, 44 + 7), kWaveOk, 44, 7},
        {"data before fmt only", RiffBytes({Data(), Fmt()}), kWaveBadFormat},
        {"format tag 3", RiffBytes({Fmt(FormatData(3, 1, 22050, 4, 32)), Data()}), kWaveBadFormat},
        {"format tag 0xFFFE", RiffBytes({Fmt(FormatData(0xFFFE, 1, 22050, 2, 16, 40)), Data()}), kWaveBadFormat},
        {"form not WAVE", RiffBytes({Fmt(), Data()}, {}, "AVI "), kWaveBadFormat},
        {"not RIFF", Concat({'R', 'I', 'F', 'X'}, Bytes(plain.begin() + 4, plain.end())), kWaveBadFormat},
        {"empty file", {}, kWaveBadFormat},
        {"truncated RIFF header", Prefix(plain, 10), kWaveBadFormat},
        {"no fmt", RiffBytes({Data()}), kWaveBadFormat},
        {"no data", RiffBytes({Fmt()}), kWaveBadFormat},
        {"data outside the declared RIFF", RiffBytes({Fmt(), Data()}, 4 + 8 + 16), kWaveBadFormat},
        {"huge LIST hides data", RiffBytes({Fmt(), {"LIST", {1, 2}, 0xFFFFFFF0u}, Data()}), kWaveBadFormat},
        {"channels 0", RiffBytes({Fmt(FormatData(1, 0, 22050, 2, 16)), Data()}), kWaveBadFormat},
        {"block align 0", RiffBytes({Fmt(FormatData(1, 1, 22050, 0, 16)), Data()}), kWaveBadFormat},
        {"block align below channels", RiffBytes({Fmt(FormatData(1, 2, 22050, 1, 8)), Data()}), kWaveBadFormat},
        {"fmt of 14 bytes", RiffBytes({Fmt(Prefix(kMonoFormat, 14)), Data()}), kWaveReadFailed},
        {"file cut in the format header", Prefix(plain, 30), kWaveReadFailed},
    };
}

TEST(WaveOpen, FindsTheDataChunkOrRefusesTheFile)
{
    TempDir dir;
    for (const OpenCase& c : OpenCases()) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write("case.wav", c.File);
        TWaveHandle handle;
        TWaveInfo info;
        ASSERT_EQ(WaveOpen(path, handle, info, false, false), c.Code);
        if (c.Code != kWaveOk) {
            EXPECT_EQ(handle, nullptr);
            continue;
        }
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(info.DataOffset, c.DataOffset);
        EXPECT_EQ(info.DataSize, c.DataSize);
        EXPECT_TRUE(info.Data.empty());
        // The file stands at the first data byte.
        Bytes read(static_cast<std::size_t>(c.DataSize));
        int32_t converted = 0;
        EXPECT_EQ(WaveRead(handle, info, read.data(), kUnitFilePosition, converted, c.DataSize), c.DataSize);
        EXPECT_EQ(read, Prefix(kPayload, read.size()));
        EXPECT_EQ(WaveClose(handle), kWaveOk);
        EXPECT_EQ(handle, nullptr);
    }
}

TEST(WaveOpen, DerivesTheSampleWidthFromTheFrameSize)
{
    struct Case {
        uint16_t Channels, BlockAlign, Bits;
        uint32_t Rate;
        uint16_t BytesPerSample;
    };
    const Case cases[] = {
        {1, 1, 8, 22050, 1}, {1, 2, 16, 44100, 2}, {2, 4, 16, 22050, 2},
        {2, 6, 24, 22050, 3}, {3, 6, 16, 8000, 2}, {2, 5, 16, 22050, 2},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Channels << " channels, block align " << c.BlockAlign);
        const Bytes format = FormatData(1, c.Channels, c.Rate, c.BlockAlign, c.Bits);
        const std::string path = dir.Write("format.wav", RiffBytes({Fmt(format), Data()}));
        TWaveHandle handle;
        TWaveInfo info;
        ASSERT_EQ(WaveOpen(path, handle, info, true, false), kWaveOk);
        EXPECT_EQ(handle, nullptr) << "closeAfter";
        EXPECT_EQ(info.Channels, c.Channels);
        EXPECT_EQ(info.BitsPerSample, c.Bits);
        EXPECT_EQ(info.SampleRate, static_cast<int32_t>(c.Rate));
        EXPECT_EQ(info.BytesPerSample, c.BytesPerSample);
        EXPECT_EQ(info.Format.BlockAlign, c.BlockAlign);
        EXPECT_EQ(info.Format.AvgBytesPerSec, c.Rate * c.BlockAlign);
    }
}

TEST(WaveOpen, LoadsOnlyTheBytesTheFileHolds)
{
    TempDir dir;
    const Bytes payload = Pcm16Data(IndexedSamples(1001));
    struct Case {
        const char* Name;
        std::optional<uint32_t> Declared;
    };
    for (const Case& c : {Case{"true size", {}}, Case{"size near 2^32", 0xFFFFFFF0u}}) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write("load.wav", RiffBytes({Fmt(), Data(payload, c.Declared)}));
        TWaveHandle handle;
        TWaveInfo info;
        ASSERT_EQ(WaveOpen(path, handle, info, true, true), kWaveOk);
        EXPECT_EQ(handle, nullptr);
        EXPECT_EQ(info.Data, payload);
    }
}

TEST(WaveOpen, KeepsPositionsOfFilesBeyond2GiBWithin32Bits)
{
    TempDir dir;
    const std::string path = dir.Write("huge.wav", RiffBytes({Fmt(), Data(kPayload, 0xFFFFFFD0u)}, 0xFFFFFFF0u));
    std::filesystem::resize_file(path, 3ull << 30);   // sparse: costs no disk space
    TWaveHandle handle;
    TWaveInfo info;
    ASSERT_EQ(WaveOpen(path, handle, info, false, false), kWaveOk);
    EXPECT_EQ(info.DataOffset, 44);
    EXPECT_EQ(info.DataSize, INT32_MAX - 44);
}

TEST(WaveOpen, RefusesWhatIsNotARegularFile)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    ::mkdir(dir.File("folder.wav").c_str(), 0700);
    for (const std::string& path : {dir.File("missing.wav"), dir.File("folder.wav"), dir.File("fifo"),
                                    std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        TWaveHandle handle;
        TWaveInfo info;
        EXPECT_EQ(WaveOpen(path, handle, info, false, false), kWaveCannotOpen);
        EXPECT_EQ(handle, nullptr);
    }
}

TEST(WaveRead, ReadsTheAmountOfItsKindAndCountsWhatCame)
{
    TempDir dir;
    // Stereo 16-bit at 1000 Hz: 4 bytes a frame, 4 bytes a millisecond.
    const std::string path = dir.Write("stereo.wav", PcmWave(2, 1000, 16, Pcm16Data(IndexedSamples(20))));
    TWaveHandle handle;
    TWaveInfo info;
    ASSERT_EQ(WaveOpen(path, handle, info, false, false), kWaveOk);
    struct Step {
        uint8_t Kind;
        int32_t Amount, Bytes, Converted;
    };
    const Step steps[] = {
        {kUnitFilePosition, 6, 6, 6},  {kUnitDataBytes, 2, 2, 2},   {kUnitFrames, 3, 12, 3},
        {kUnitMilliseconds, 2, 8, 2},  {kUnitFrames, 0, 0, 0},      {kUnitFrames, 100, 12, 3},
        {kUnitFrames, 1, 0, 0},
    };
    Bytes buffer(400);
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "kind " << int{s.Kind} << " amount " << s.Amount);
        int32_t converted = -1;
        EXPECT_EQ(WaveRead(handle, info, buffer.data(), s.Kind, converted, s.Amount), s.Bytes);
        EXPECT_EQ(converted, s.Converted);
    }
    EXPECT_EQ(WaveClose(handle), kWaveOk);
    int32_t converted = -1;
    EXPECT_EQ(WaveRead(handle, info, buffer.data(), kUnitFilePosition, converted, 4), kWaveReadFailed);
    EXPECT_EQ(converted, 0);
    EXPECT_EQ(WaveClose(handle), kWaveOk) << "closing nothing";
}

TWaveInfo InfoOf(uint16_t channels, uint16_t bytesPerSample, int32_t sampleRate, int32_t dataOffset)
{
    TWaveInfo info;
    info.Channels = channels;
    info.BytesPerSample = bytesPerSample;
    info.SampleRate = sampleRate;
    info.DataOffset = dataOffset;
    return info;
}

TEST(WaveUnits, ConvertAmountsToFilePositions)
{
    const TWaveInfo stereo = InfoOf(2, 2, 22050, 44);   // 4-byte frames
    const TWaveInfo halfHertz = InfoOf(1, 1, 500, 0);   // 0.5 byte a millisecond: exact ties
    struct Case {
        const char* Name;
        TWaveInfo Info;
        int32_t Amount;
        uint8_t Kind;
        int32_t Position, Offset;
    };
    const Case cases[] = {
        {"file position", stereo, 100, kUnitFilePosition, 100, 100},
        {"data bytes", stereo, 100, kUnitDataBytes, 144, 100},
        {"one second", stereo, 1000, kUnitMilliseconds, 88200 + 44, 88200},
        {"3 ms rounds 264.6 to 265, aligned up to 268", stereo, 3, kUnitMilliseconds, 268 + 44, 268},
        {"tie 2.5 to even", halfHertz, 5, kUnitMilliseconds, 2, 2},
        {"tie 3.5 to even", halfHertz, 7, kUnitMilliseconds, 4, 4},
        {"frames", stereo, 10, kUnitFrames, 40 + 44, 40},
        {"unknown kind", stereo, 10, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(UnitsToBytes(c.Info, c.Amount, c.Kind), c.Position);
        EXPECT_EQ(UnitsToOffset(c.Info, c.Amount, c.Kind), c.Offset);
    }
}

TEST(WaveUnits, ConvertFilePositionsToAmounts)
{
    const TWaveInfo stereo = InfoOf(2, 2, 22050, 44);
    const TWaveInfo halfMillisecond = InfoOf(1, 1, 2000, 0);   // 0.5 ms a byte: exact ties
    struct Case {
        const char* Name;
        TWaveInfo Info;
        int32_t Position;
        uint8_t Kind;
        int32_t Amount;
    };
    const Case cases[] = {
        {"file position", stereo, 100, kUnitFilePosition, 100},
        {"data bytes", stereo, 100, kUnitDataBytes, 56},
        {"one second", stereo, 88200 + 44, kUnitMilliseconds, 1000},
        {"tie 2.5 to even", halfMillisecond, 5, kUnitMilliseconds, 2},
        {"tie 3.5 to even", halfMillisecond, 7, kUnitMilliseconds, 4},
        {"whole frames", stereo, 44 + 43, kUnitFrames, 10},
        {"no frame size", InfoOf(0, 2, 22050, 44), 88244, kUnitFrames, 0},
        {"no frame size, ms", InfoOf(2, 0, 22050, 44), 88244, kUnitMilliseconds, 0},
        {"no sample rate", InfoOf(2, 2, 0, 44), 88244, kUnitMilliseconds, 0},
        {"unknown kind", stereo, 100, 7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(BytesToUnits(c.Info, c.Position, c.Kind), c.Amount);
    }
}

TEST(WaveUnits, AlignToFrameRoundsUpToWholeFrames)
{
    const TWaveInfo frame4 = InfoOf(2, 2, 22050, 0);
    const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {1, 4}, {4, 4}, {5, 8}, {-3, 0}, {-4, -4}, {-5, -4}};
    for (const auto& [bytes, aligned] : cases)
        EXPECT_EQ(AlignToFrame(frame4, bytes), aligned) << bytes;
    EXPECT_EQ(AlignToFrame(InfoOf(1, 1, 22050, 0), 5), 5) << "one-byte frames need no alignment";
}

TEST(SplitChannels, ConvertsFramesToSixteenBitSamples)
{
    struct Case {
        const char* Name;
        Bytes Raw;
        int32_t Bits, FrameBytes, Channels, ByteCount;
        bool WithRight;
        std::vector<int16_t> Left, Right;
    };
    const Case cases[] = {
        {"8-bit mono is unsigned", {0x00, 0x80, 0xFF, 0x01}, 8, 1, 1, 4, false, {-32768, 0, 32512, -32512}, {}},
        {"8-bit stereo", {0x00, 0xFF, 0x80, 0x40}, 8, 2, 2, 4, true, {-32768, 0}, {32512, -16384}},
        {"16-bit stereo", {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F}, 16, 4, 2, 8, true, {1, -32768}, {-1, 32767}},
        {"16-bit stereo, left only", {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F}, 16, 4, 2, 8, false, {1, -32768}, {}},
        {"24-bit keeps the first two bytes", {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}, 24, 3, 1, 6, false, {0x2211, 0x5544}, {}},
        {"16-bit, three channels", {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0}, 16, 6, 3, 12, true, {1, 4}, {}},
        {"partial frame, bytes behind the count unread", {0x34, 0x12, 0x78, 0xAA}, 16, 2, 1, 3, false, {0x1234, 0x78}, {}},
        {"no bytes", {0x34, 0x12}, 16, 2, 1, 0, false, {}, {}},
        {"no frame size", {0x34, 0x12}, 16, 0, 1, 2, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<int16_t> left(8, 0x5555);
        std::vector<int16_t> right(8, 0x5555);
        const int32_t written = SplitChannels(c.Raw.data(), left.data(), c.WithRight ? right.data() : nullptr, c.Bits,
                                              c.FrameBytes, c.Channels, c.ByteCount);
        ASSERT_EQ(written, static_cast<int32_t>(2 * c.Left.size()));
        EXPECT_EQ(std::vector<int16_t>(left.begin(), left.begin() + static_cast<long>(c.Left.size())), c.Left);
        EXPECT_EQ(left[c.Left.size()], 0x5555) << "nothing written behind the frames";
        EXPECT_EQ(std::vector<int16_t>(right.begin(), right.begin() + static_cast<long>(c.Right.size())), c.Right);
        EXPECT_EQ(right[c.Right.size()], 0x5555);
    }
}

TEST(ConvertFrames, StepsByTheFrameOfTheFormat)
{
    const Bytes raw = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0};
    std::vector<int16_t> left(4, 0);
    EXPECT_EQ(ConvertFrames(raw.data(), left.data(), nullptr, InfoOf(3, 2, 22050, 0), 12), 4);
    EXPECT_EQ(left[0], 1);
    EXPECT_EQ(left[1], 4);
}

} // namespace
