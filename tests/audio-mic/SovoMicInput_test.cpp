#include "SovoMicInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "PulseTestServer.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

const std::string kAlreadyRecording = "Запись уже идет (метод <Start> объект <Input>).";
const std::string kCannotPrepare = "Ошибка подготовки буфера записи (метод <Create> объект <MicRecord>).";

// The input as the window makes it, fed through the virtual microphone.
class MicInput : public MicServerTest {
protected:
    // Records fed between Start and Stop.
    void Record(TSovoMicInput& input, const std::vector<int16_t>& fed)
    {
        input.Start();
        FeedMicrophone(fed);
        ASSERT_TRUE(RecordingHolds(input, fed.size()));
        input.Stop();
    }
};

TEST_F(MicInput, DeliversEveryCompleteBufferAtStopThenTheEndCall)
{
    struct Case {
        int32_t Fed;
        int32_t Blocks;
    };
    // A partial last buffer is dropped; a recording shorter than one buffer gives only the end call.
    const Case cases[] = {{500, 0}, {1024, 1}, {5 * 1024 + 300, 5}, {40 * 1024, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Fed << " samples fed");
        DrainMicrophone();
        TSovoMicInput input(1024, 1, 22050, 2);
        Delivery got;
        got.Attach(input);
        const std::vector<int16_t> fed = Numbered(c.Fed);
        bool recordingDuringDelivery = true;
        input.OnData = [&, deliver = input.OnData](const int16_t* samples, int32_t count) {
            recordingDuringDelivery = input.IsRecording();
            deliver(samples, count);
        };
        Record(input, fed);
        ExpectRecorded(got, fed, c.Blocks);
        EXPECT_FALSE(recordingDuringDelivery) << "the mark is cleared before anything is delivered";
        EXPECT_FALSE(input.IsRecording());
    }
}

TEST_F(MicInput, RecordsAgainAfterEachStop)
{
    TSovoMicInput input(1024, 1, 22050, 2);
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        Delivery got;
        got.Attach(input);
        const std::vector<int16_t> fed = Numbered(3 * 1024 + run * 1024);
        Record(input, fed);
        ExpectRecorded(got, fed, 3 + run);
    }
}

// Stop right after the sound came in: the buffers the device filled since the recorder last looked belong to the
// recording (the end of what was said before the key came up).
TEST_F(MicInput, StopRightAfterTheSoundCameInKeepsAllOfIt)
{
    // A real-time microphone frames the recording apart from the ear, so that its last block may not be full.
    if (!MicrophoneIsExact())
        GTEST_SKIP() << "the microphone adds silence of its own";
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        TSovoMicInput input(1024, 1, 22050, 2);
        Delivery got;
        got.Attach(input);
        const std::vector<int16_t> fed = Numbered(3 * 1024);
        input.Start();
        SourceEar ear;
        FeedMicrophone(fed);
        ASSERT_TRUE(ear.Heard(fed));
        input.Stop();
        EXPECT_EQ(got, Delivery::Expected(fed, 3));
    }
}

// A key held far too long (a stuck Ctrl) records on, but only the first stretch is kept and delivered.
TEST_F(MicInput, KeepsOnlyTheFirstStretchOfALongRecording)
{
    DrainMicrophone();
    TSovoMicInput input(1024, 1, 22050, 2, 3.5 * 1024 / 22050);   // three blocks
    Delivery got;
    got.Attach(input);
    const std::vector<int16_t> fed = Numbered(8 * 1024);
    Record(input, fed);
    if (MicrophoneIsExact()) {
        EXPECT_EQ(got, Delivery::Expected(fed, 3));
        return;
    }
    // After the silence the microphone made before the feed, what fits.
    EXPECT_TRUE(got.InWholeBlocks()) << testing::PrintToString(got);
    EXPECT_EQ(got.Progress.size(), 3u);
    const std::vector<int16_t> sound = got.Sound();
    EXPECT_TRUE(std::equal(sound.begin(), sound.end(), fed.begin())) << "the start of what was fed";
}

TEST_F(MicInput, LevelMeterReportsThePositivePeakOfEachBufferOnTheMainThread)
{
    TSovoMicInput input(1024, 1, 22050, 2);
    LevelLog log;
    input.SetOnLevel(log.Proc());
    // Two buffers of each: whatever silence a microphone puts before them, each fills at least one buffer
    // of its own.
    const std::vector<int16_t> fed =
        Joined({std::vector<int16_t>(2048, 0), ToneBlock(12000), ToneBlock(12000), NegativeBlock(), NegativeBlock(),
                ToneBlock(32767), ToneBlock(32767)});
    FeedMicrophone(fed);
    const std::vector<int32_t> changes = {0, 12000, 0, 32767};
    ASSERT_TRUE(WaitUntil([&] {
        MainThreadQueue().Drain();
        const std::vector<int32_t> seen = log.Changes();
        return std::search(seen.begin(), seen.end(), changes.begin(), changes.end()) != seen.end();
    })) << "levels: " << testing::PrintToString(log.Changes());
    if (MicrophoneIsExact()) {
        ASSERT_TRUE(log.WaitFor(8));
        EXPECT_EQ(log.Levels.size(), 8u) << "one level for each buffer, none of its own";
    }
    for (const auto& [level, maxLevel] : log.Levels)
        EXPECT_EQ(maxLevel, 32767);
    EXPECT_TRUE(log.AllOnMainThread);
}

TEST_F(MicInput, StopWithoutARecordingRaisesNothingAndRestartsTheMeter)
{
    TSovoMicInput input(1024, 1, 22050, 2);
    Delivery got;
    got.Attach(input);
    LevelLog log;
    input.SetOnLevel(log.Proc());
    EXPECT_EQ(MessageOf([&] { input.Stop(); }), "(nothing thrown)");
    EXPECT_FALSE(input.IsRecording());
    ASSERT_TRUE(log.Listening());
    FeedMicrophone(ToneBlock(5000));
    EXPECT_TRUE(log.WaitForLevel(5000));
    EXPECT_TRUE(got.Counts.empty());
}

TEST_F(MicInput, LevelProcedureSetDuringARecordingServesTheMeterStartedAtStop)
{
    TSovoMicInput input(1024, 1, 22050, 2);
    Delivery got;
    got.Attach(input);
    LevelLog before;
    LevelLog after;
    input.SetOnLevel(before.Proc());
    input.Start();
    // What the first meter heard until Start (silence, from a microphone that adds its own) it has handed over.
    const size_t heardBeforeTheRecording = before.Levels.size();
    input.SetOnLevel(after.Proc());
    const std::vector<int16_t> fed = Numbered(2 * 1024);
    FeedMicrophone(fed);
    ASSERT_TRUE(RecordingHolds(input, fed.size()));
    input.Stop();
    ExpectRecorded(got, fed, 2);

    ASSERT_TRUE(after.Listening());
    FeedMicrophone(ToneBlock(7000));
    EXPECT_TRUE(after.WaitForLevel(7000)) << "the recorder kept the device";
    EXPECT_EQ(before.Levels.size(), heardBeforeTheRecording) << "the replaced procedure serves no later meter";
}

TEST_F(MicInput, FreeingTheInputWhileRecordingDeliversTheRecordingFirst)
{
    auto input = std::make_unique<TSovoMicInput>(1024, 1, 22050, 2);
    Delivery got;
    got.Attach(*input);
    input->Start();
    const std::vector<int16_t> fed = Numbered(2 * 1024);
    FeedMicrophone(fed);
    ASSERT_TRUE(RecordingHolds(*input, fed.size()));
    input.reset();
    ExpectRecorded(got, fed, 2);
}

// What a receiver throws leaves Stop at once; the recording it interrupted is gone, the device closed, the
// level meter runs again and the next recording starts afresh. Freeing the input cannot pass the exception on.
TEST_F(MicInput, AReceiverThatThrowsEndsTheDeliveryAndRecordingGoesOn)
{
    auto input = std::make_unique<TSovoMicInput>(1024, 1, 22050, 2);
    LevelLog log;
    input->SetOnLevel(log.Proc());
    const auto refuse = [](const int16_t*, int32_t) { throw std::runtime_error("receiver refused"); };
    input->OnData = refuse;
    input->Start();
    FeedMicrophone(Numbered(2 * 1024));
    ASSERT_TRUE(RecordingHolds(*input, 2 * 1024));
    EXPECT_EQ(MessageOf([&] { input->Stop(); }), "receiver refused");
    EXPECT_FALSE(input->IsRecording());
    log.Levels.clear();
    ASSERT_TRUE(log.Listening());
    FeedMicrophone(ToneBlock(6000));
    EXPECT_TRUE(log.WaitForLevel(6000)) << "the level meter runs again";
    EXPECT_EQ(MessageOf([&] { input->Stop(); }), "(nothing thrown)") << "no recorder is left over";

    Delivery got;
    got.Attach(*input);
    const std::vector<int16_t> fed = Numbered(3 * 1024);
    Record(*input, fed);
    ExpectRecorded(got, fed, 3);

    input->OnData = refuse;
    input->Start();
    FeedMicrophone(Numbered(1024));
    ASSERT_TRUE(RecordingHolds(*input, 1024));
    EXPECT_EQ(MessageOf([&] { input.reset(); }), "(nothing thrown)");
}

TEST_F(MicInput, ResetDiscardsTheRecordingAndLeavesTheMarkSet)
{
    TSovoMicInput input(1024, 1, 22050, 2);
    Delivery got;
    got.Attach(input);
    LevelLog log;
    input.SetOnLevel(log.Proc());
    input.Start();
    FeedMicrophone(Numbered(2 * 1024));
    ASSERT_TRUE(RecordingHolds(input, 2 * 1024));
    input.Reset();
    EXPECT_TRUE(input.IsRecording());
    EXPECT_EQ(MessageOf([&] { input.Start(); }), kAlreadyRecording);
    EXPECT_EQ(MessageOf([&] { input.Stop(); }), "(nothing thrown)");
    EXPECT_TRUE(got.Counts.empty()) << "nothing of the discarded recording is delivered";
    ASSERT_TRUE(log.Listening());
    FeedMicrophone(ToneBlock(3000));
    EXPECT_TRUE(log.WaitForLevel(3000)) << "the meter runs again";
}

// The block size is not checked when the input is made; the device refuses the empty buffers it gives.
TEST_F(MicInput, BlockSizeBelowOneIsRefusedWhenADeviceBufferIsPrepared)
{
    for (const int32_t blockSize : {0, -1024}) {
        SCOPED_TRACE(blockSize);
        TSovoMicInput input(blockSize, 1, 22050, 2);
        EXPECT_EQ(MessageOf([&] { input.SetOnLevel([](int32_t, int32_t) {}); }), kCannotPrepare);
        EXPECT_EQ(MessageOf([&] { input.Start(); }), kCannotPrepare);
        EXPECT_FALSE(input.IsRecording());
    }
}

} // namespace
