#include "SovoInput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <stdexcept>

#include "MessageOf.h"
#include "TempDir.h"
#include "wave_fixture.h"

using namespace wavetest;

namespace {

const std::string kAlreadyRecording = "Запись уже идет (метод <Start> объект <Input>).";
const std::string kAlreadyStopped = "Запись уже остановлена (метод <Stop> объект <Input>).";
const std::string kNoNameOnStart = "Нет имени файла для ввода (метод <Start> объект <FileInput>).";
const std::string kNoNameOnReset = "Нет имени файла для ввода (метод <Reset> объект <FileInput>).";
const std::string kNoNameOnSetName = "Нет имени файла для ввода (метод <SetName> объект <FileInput>).";
const std::string kUnsupportedFormat =
    "Не поддерживаемый формат файла.\rПока работаю только с файлами:\r22050 16 бит Моно\r"
    "(метод <SetName> объект <FileInput>)";

// Everything an input hands out: the count of every OnData call (0 = end call), the samples, the progress.
struct Recorder {
    std::vector<int32_t> Counts;
    std::vector<int16_t> Samples;
    std::vector<std::pair<int32_t, int32_t>> Progress;

    void Attach(TSovoFileInput& input)
    {
        input.OnData = [this](const int16_t* samples, int32_t count) {
            Counts.push_back(count);
            if (count > 0)
                Samples.insert(Samples.end(), samples, samples + count);
        };
        input.OnProgress = [this](int32_t position, int32_t total) { Progress.emplace_back(position, total); };
    }
    void Clear() { *this = Recorder{}; }
};

TEST(SovoFileInput, DeliversTheFileInConsecutiveBlocksThenTheEndCall)
{
    struct Case {
        int32_t BlockSize, SampleCount;
    };
    const Case cases[] = {
        {1024, 0}, {1024, 500}, {1024, 3 * 1024}, {1024, 3 * 1024 + 1}, {1024, 65536 + 2048},
        {2000, 140000}, {2000, 2 * 65536}, {2000, 1999},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "block " << c.BlockSize << ", " << c.SampleCount << " samples");
        const std::vector<int16_t> samples = IndexedSamples(c.SampleCount);
        TSovoFileInput input(c.BlockSize, 1, 22050, 2);
        Recorder got;
        got.Attach(input);
        input.SetName(dir.Write("blocks.wav", MonoWave(samples)));
        input.Start();

        std::vector<int32_t> counts(static_cast<std::size_t>(c.SampleCount / c.BlockSize), c.BlockSize);
        if (c.SampleCount % c.BlockSize != 0)
            counts.push_back(c.SampleCount % c.BlockSize);
        std::vector<std::pair<int32_t, int32_t>> progress;
        for (std::size_t n = 0; n < counts.size(); ++n)
            progress.emplace_back(static_cast<int32_t>(n) * c.BlockSize, c.SampleCount);
        counts.push_back(0);
        EXPECT_EQ(got.Counts, counts);
        EXPECT_EQ(got.Progress, progress);
        EXPECT_TRUE(got.Samples == samples) << "blocks are consecutive: block n starts at sample n * block size";
        EXPECT_TRUE(input.IsRecording());
    }
}

TEST(SovoFileInput, WithoutOnDataTheFileIsStillReadThrough)
{
    TempDir dir;
    TSovoFileInput input(1024, 1, 22050, 2);
    Recorder got;
    got.Attach(input);
    input.OnData = nullptr;
    input.SetName(dir.Write("quiet.wav", MonoWave(IndexedSamples(2500))));
    input.Start();
    const std::vector<std::pair<int32_t, int32_t>> progress = {{0, 2500}, {1024, 2500}, {2048, 2500}};
    EXPECT_EQ(got.Progress, progress);
}

enum class Op { Start, Stop, Reset, SetName };

TEST(SovoFileInput, RunMarkSequences)
{
    using Run = std::pair<int32_t, int32_t>;   // samples and end calls one Start delivered
    const Run whole{3000, 1};
    struct Case {
        const char* Name;
        std::vector<Op> Ops;
        std::vector<Run> Runs;                 // one per Start, a refused one included
        std::string LastError;                 // what the last operation throws, "" for nothing
        bool RecordingAfter;
    };
    const Case cases[] = {
        {"Start Stop Start: the second run finds the file at its end", {Op::Start, Op::Stop, Op::Start}, {whole, {0, 1}}, "", true},
        {"Start Stop Reset Start: the file twice", {Op::Start, Op::Stop, Op::Reset, Op::Start}, {whole, whole}, "", true},
        {"Start Stop SetName Start: the file twice", {Op::Start, Op::Stop, Op::SetName, Op::Start}, {whole, whole}, "", true},
        {"a second Start while marked delivers nothing", {Op::Start, Op::Start}, {whole, {0, 0}}, kAlreadyRecording, true},
        {"Stop without a run", {Op::Stop}, {}, kAlreadyStopped, false},
        {"Stop twice", {Op::Start, Op::Stop, Op::Stop}, {whole}, kAlreadyStopped, false},
        {"Reset keeps the mark", {Op::Start, Op::Reset}, {whole}, "", true},
        {"SetName keeps the mark", {Op::Start, Op::SetName}, {whole}, "", true},
        {"Reset before a run", {Op::Reset, Op::Start}, {whole}, "", true},
    };
    TempDir dir;
    const std::string path = dir.Write("run.wav", MonoWave(IndexedSamples(3000)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSovoFileInput input(1024, 1, 22050, 2);
        input.SetName(path);
        Run current;
        input.OnData = [&](const int16_t*, int32_t count) { count == 0 ? ++current.second : current.first += count; };
        std::vector<Run> runs;
        std::string error;
        for (const Op op : c.Ops) {
            current = {0, 0};
            error = MessageOf([&] {
                switch (op) {
                case Op::Start: input.Start(); break;
                case Op::Stop: input.Stop(); break;
                case Op::Reset: input.Reset(); break;
                case Op::SetName: input.SetName(path); break;
                }
            });
            if (op == Op::Start)
                runs.push_back(current);
        }
        EXPECT_EQ(runs, c.Runs);
        EXPECT_EQ(error, c.LastError.empty() ? "(nothing thrown)" : c.LastError);
        EXPECT_EQ(input.IsRecording(), c.RecordingAfter);
    }
}

TEST(SovoFileInput, AStopMadeByTheReceiverDoesNotCutTheDelivery)
{
    struct Case {
        const char* Name;
        int32_t StopAtCount;   // the receiver stops in the call carrying this count
    };
    for (const Case& c : {Case{"during the first block", 1024}, Case{"in the end call", 0}}) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        TSovoFileInput input(1024, 1, 22050, 2);
        input.SetName(dir.Write("stop.wav", MonoWave(IndexedSamples(2500))));
        std::vector<int32_t> counts;
        input.OnData = [&](const int16_t*, int32_t count) {
            counts.push_back(count);
            if (count == c.StopAtCount && input.IsRecording())
                input.Stop();
        };
        input.Start();
        EXPECT_EQ(counts, (std::vector<int32_t>{1024, 1024, 452, 0}));
        EXPECT_FALSE(input.IsRecording());
    }
}

TEST(SovoFileInput, WithoutAFileEveryOperationNamesItself)
{
    TempDir dir;
    const std::string good = dir.Write("good.wav", MonoWave(IndexedSamples(10)));
    TSovoFileInput fresh(1024, 1, 22050, 2);
    EXPECT_EQ(MessageOf([&] { fresh.Start(); }), kNoNameOnStart);
    EXPECT_FALSE(fresh.IsRecording());
    EXPECT_EQ(MessageOf([&] { fresh.Reset(); }), kNoNameOnReset);
    EXPECT_EQ(MessageOf([&] { fresh.SetName(""); }), kNoNameOnSetName);

    TSovoFileInput dropped(1024, 1, 22050, 2);
    dropped.SetName(good);
    EXPECT_EQ(MessageOf([&] { dropped.SetName(""); }), kNoNameOnSetName);
    EXPECT_EQ(MessageOf([&] { dropped.Start(); }), kNoNameOnStart) << "the previous file is gone";
}

TEST(SovoFileInput, RefusesFilesItCannotConvertAndKeepsNoneOfThem)
{
    struct Case {
        const char* Name;
        Bytes File;
    };
    // Integer PCM the reader opens but no conversion takes: the format message.
    const Case cases[] = {
        {"5-byte samples", RiffBytes({{"fmt ", FormatData(1, 1, 22050, 5, 40), {}}, {"data", Bytes(500, 0), {}}})},
        {"frames that split no channel evenly",
         RiffBytes({{"fmt ", FormatData(1, 2, 22050, 3, 8), {}}, {"data", Bytes(300, 0), {}}})},
        {"no sample rate", RiffBytes({{"fmt ", FormatData(1, 2, 0, 4, 16), {}}, {"data", Bytes(400, 0), {}}})},
    };
    TempDir dir;
    const std::string good = dir.Write("good.wav", MonoWave(IndexedSamples(10)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSovoFileInput input(1024, 1, 22050, 2);
        input.SetName(good);
        const std::string path = dir.Write("refused.wav", c.File);
        EXPECT_EQ(MessageOf([&] { input.SetName(path); }), kUnsupportedFormat);
        EXPECT_EQ(MessageOf([&] { input.Start(); }), kNoNameOnStart);
        EXPECT_EQ(MessageOf([&] { input.Reset(); }), kNoNameOnReset);
    }
}

TEST(SovoFileInput, ACompressedFileKeepsTheReadersMessage)
{
    TempDir dir;
    const std::string adpcm =
        dir.Write("adpcm.wav", RiffBytes({{"fmt ", FormatData(2, 1, 22050, 256, 4, 20), {}}, {"data", Bytes(512, 0), {}}}));
    TWavFileSource reader;
    const std::string readersMessage = MessageOf([&] { reader.Open(adpcm); });
    ASSERT_FALSE(readersMessage.empty());
    TSovoFileInput input(1024, 1, 22050, 2);
    EXPECT_EQ(MessageOf([&] { input.SetName(adpcm); }), readersMessage);
    EXPECT_EQ(MessageOf([&] { input.Start(); }), kNoNameOnStart);
}

TEST(SovoFileInput, TheFormatMessageIsTheSameForAnyRequiredFormat)
{
    TempDir dir;
    TSovoFileInput input(1024, 1, 44100, 2);
    EXPECT_EQ(MessageOf([&] {
                  input.SetName(dir.Write("5-byte.wav", RiffBytes({{"fmt ", FormatData(1, 1, 22050, 5, 40), {}},
                                                                    {"data", Bytes(500, 0), {}}})));
              }),
              kUnsupportedFormat);
    Recorder got;
    got.Attach(input);
    input.SetName(dir.Write("44100.wav", MonoWave(IndexedSamples(10), 44100)));
    input.Start();
    EXPECT_EQ(got.Samples, IndexedSamples(10));
}

TEST(SovoFileInput, OpenFailuresPassThroughAndLeaveNoFile)
{
    TempDir dir;
    TSovoFileInput input(1024, 1, 22050, 2);
    input.SetName(dir.Write("good.wav", MonoWave(IndexedSamples(10))));
    const std::string missing = dir.File("missing.wav");
    EXPECT_THROW(input.SetName(missing), EOpenWaveError);
    EXPECT_EQ(MessageOf([&] { input.SetName(missing); }), "Can not open file!\r" + missing);
    EXPECT_EQ(MessageOf([&] { input.Start(); }), kNoNameOnStart) << "not an empty utterance";
}

TEST(SovoFileInput, AnExceptionInACallbackLeavesStartAtOnce)
{
    struct Case {
        const char* Name;
        bool ThrowInData;
        int32_t ThrowAtCall;         // 1-based call of that callback
        int32_t DataCalls, ProgressCalls;
    };
    const Case cases[] = {
        {"OnData, first block", true, 1, 1, 0},
        {"OnData, second block", true, 2, 2, 1},
        {"OnProgress, first block", false, 1, 1, 1},
    };
    TempDir dir;
    const std::string path = dir.Write("throw.wav", MonoWave(IndexedSamples(5000)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSovoFileInput input(1024, 1, 22050, 2);
        input.SetName(path);
        int32_t dataCalls = 0;
        int32_t progressCalls = 0;
        input.OnData = [&](const int16_t*, int32_t) {
            if (++dataCalls == c.ThrowAtCall && c.ThrowInData)
                throw ESovoError("receiver failed");
        };
        input.OnProgress = [&](int32_t, int32_t) {
            if (++progressCalls == c.ThrowAtCall && !c.ThrowInData)
                throw ESovoError("receiver failed");
        };
        EXPECT_EQ(MessageOf([&] { input.Start(); }), "receiver failed");
        EXPECT_EQ(dataCalls, c.DataCalls) << "no end call follows";
        EXPECT_EQ(progressCalls, c.ProgressCalls);
        EXPECT_TRUE(input.IsRecording());
    }
}

std::size_t OpenDescriptors()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

TEST(SovoFileInput, HoldsTheFileOnlyWhileItIsTheCurrentSource)
{
    TempDir dir;
    const std::string good = dir.Write("good.wav", MonoWave(IndexedSamples(10)));
    const std::string stereo = dir.Write("stereo.wav", PcmWave(2, 22050, 16, Pcm16Data(IndexedSamples(10))));
    const std::string refused =
        dir.Write("5-byte.wav", RiffBytes({{"fmt ", FormatData(1, 1, 22050, 5, 40), {}}, {"data", Bytes(500, 0), {}}}));
    const std::size_t baseline = OpenDescriptors();
    {
        TSovoFileInput input(1024, 1, 22050, 2);
        input.SetName(good);
        input.Reset();
        EXPECT_EQ(OpenDescriptors(), baseline + 1);
        EXPECT_THROW(input.SetName(refused), ESovoError);
        EXPECT_EQ(OpenDescriptors(), baseline) << "a refused file is closed";
        input.SetName(stereo);
        EXPECT_EQ(OpenDescriptors(), baseline) << "a converted file is read whole and closed";
        input.SetName(good);
        input.Start();
        EXPECT_TRUE(input.IsRecording());
    }
    EXPECT_EQ(OpenDescriptors(), baseline) << "destroyed while a run was marked";
}

} // namespace
