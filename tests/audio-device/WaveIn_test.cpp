#include "WaveIn.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <array>
#include <memory>

#include "PulseTestServer.h"
#include "device_fixture.h"

using namespace devicetest;
using namespace pulsetest;

namespace {

constexpr TPcmFormat kMono22k{1, 22050, 2};

class WaveIn : public PulseServerTest {
protected:
    void OpenAndStart()
    {
        ASSERT_EQ(device.Open(kMono22k), TWaveResult::Ok);
        ASSERT_EQ(device.Start(), TWaveResult::Ok);
    }
    void Queue(Buffer& buffer)
    {
        ASSERT_EQ(device.Prepare(buffer.Header), TWaveResult::Ok);
        ASSERT_EQ(device.Add(buffer.Header), TWaveResult::Ok);
    }

    TWaveIn device;
};

TEST_F(WaveIn, FillsBuffersInQueueOrderAndKeepsSoundForBuffersQueuedLater)
{
    OpenAndStart();
    std::array<Buffer, 3> buffers{Buffer(1024), Buffer(1024), Buffer(1024)};
    Queue(buffers[0]);
    const std::vector<int16_t> fed = Numbered(4 * 1024);
    FeedMicrophone(fed);
    ASSERT_TRUE(WaitDone(buffers[0].Header));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    // Everything beyond the first buffer waited in the stream: later buffers take it up, in order.
    Queue(buffers[1]);
    Queue(buffers[2]);
    ASSERT_TRUE(WaitDone(buffers[1].Header));
    ASSERT_TRUE(WaitDone(buffers[2].Header));
    std::vector<int16_t> got;
    for (Buffer& buffer : buffers) {
        EXPECT_EQ(buffer.Header.BytesRecorded, 2048u);
        EXPECT_EQ(device.Unprepare(buffer.Header), TWaveResult::Ok);
        got.insert(got.end(), buffer.Samples.begin(), buffer.Samples.end());
    }
    // A real-time microphone may put silence of its own before the sound, which then ends in later buffers.
    const size_t enough = MicrophoneIsExact() ? fed.size() : 16 * 1024;
    while (got.size() < enough && WithoutSilenceAround(got).size() < fed.size()) {
        buffers[0].Header.Flags.store(0);
        Queue(buffers[0]);
        ASSERT_TRUE(WaitDone(buffers[0].Header));
        EXPECT_EQ(device.Unprepare(buffers[0].Header), TWaveResult::Ok);
        got.insert(got.end(), buffers[0].Samples.begin(), buffers[0].Samples.end());
    }
    if (MicrophoneIsExact())
        EXPECT_TRUE(got == fed);
    else
        EXPECT_TRUE(WithoutSilenceAround(got) == fed);
}

TEST_F(WaveIn, StopHandsBackTheBufferBeingFilledAndResetHandsBackAll)
{
    struct Case {
        const char* Name;
        TWaveResult (TWaveIn::*Call)();
        std::array<bool, 3> DoneAfter;
    };
    const Case cases[] = {
        {"Stop", &TWaveIn::Stop, {true, false, false}},
        {"Reset", &TWaveIn::Reset, {true, true, true}},
    };
    UseSpeakerMonitor();    // a live source, silent, in real time
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        OpenAndStart();
        std::array<Buffer, 3> buffers{Buffer(22050), Buffer(22050), Buffer(22050)};
        for (Buffer& buffer : buffers)
            Queue(buffer);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ((device.*c.Call)(), TWaveResult::Ok);
        for (size_t i = 0; i < buffers.size(); ++i) {
            EXPECT_EQ(buffers[i].Header.IsDone(), c.DoneAfter[i]) << "buffer " << i;
            EXPECT_EQ(device.Unprepare(buffers[i].Header),
                      c.DoneAfter[i] ? TWaveResult::Ok : TWaveResult::StillQueued) << "buffer " << i;
        }
        EXPECT_GT(buffers[0].Header.BytesRecorded, 0u) << "the first buffer comes back with what it holds";
        EXPECT_LT(buffers[0].Header.BytesRecorded, buffers[0].Header.BufferLength);
        EXPECT_EQ(device.Close(), TWaveResult::Ok);
        EXPECT_TRUE(buffers[2].Header.IsDone()) << "closing gives back what is still queued";
    }
}

TEST_F(WaveIn, RefusesBuffersItCannotUse)
{
    ASSERT_EQ(device.Open(kMono22k), TWaveResult::Ok);
    Buffer buffer(1024);
    Buffer empty(0);
    EXPECT_EQ(device.Add(buffer.Header), TWaveResult::NotPrepared);
    EXPECT_EQ(device.Prepare(empty.Header), TWaveResult::BadBuffer);
    Queue(buffer);
    EXPECT_EQ(device.Add(buffer.Header), TWaveResult::StillQueued);
    EXPECT_EQ(device.Unprepare(buffer.Header), TWaveResult::StillQueued);
    EXPECT_EQ(device.Reset(), TWaveResult::Ok);
    EXPECT_EQ(device.Unprepare(buffer.Header), TWaveResult::Ok);
}

TEST(WaveInWithoutServer, OpenFailsAtOnceAndEveryCallOnTheClosedDeviceIsRefused)
{
    ScopedEnv nowhere("PULSE_SERVER", "unix:/nonexistent/parlanto/native");
    TWaveIn device;
    TWaveResult opened = TWaveResult::Ok;
    EXPECT_LT(Timed([&] { opened = device.Open(kMono22k); }), kAtOnceSeconds);
    EXPECT_EQ(opened, TWaveResult::NoServer);
    Buffer buffer(1024);
    EXPECT_EQ(device.Prepare(buffer.Header), TWaveResult::NotOpen);
    EXPECT_EQ(device.Add(buffer.Header), TWaveResult::NotOpen);
    EXPECT_EQ(device.Start(), TWaveResult::NotOpen);
    EXPECT_EQ(device.Reset(), TWaveResult::NotOpen);
    EXPECT_EQ(device.Close(), TWaveResult::NotOpen);
}

TEST(WaveInWithoutServer, RefusesAFormatTheServerCannotTakeBeforeConnecting)
{
    ScopedEnv nowhere("PULSE_SERVER", "unix:/nonexistent/parlanto/native");
    for (const TPcmFormat format : {TPcmFormat{0, 22050, 2}, TPcmFormat{1, 0, 2}, TPcmFormat{1, 22050, 5}}) {
        TWaveIn device;
        EXPECT_EQ(device.Open(format), TWaveResult::BadFormat);
    }
}

// The server goes away while the device still holds the rest of a fragment for the next buffer: the event
// thread then cleans up the lost connection, and every call must still return at once.
TEST(WaveInServerLoss, CallsReturnPromptlyWhenTheServerWentAwayMidFragment)
{
    if (EnvOr("PULSE_SERVER").empty())
        GTEST_SKIP() << "no test sound server: ./test.sh starts one (this test starts its own the same way)";
    PrivateServer server;
    ASSERT_TRUE(server.Started());
    ScopedEnv address("PULSE_SERVER", server.Address());
    ScopedEnv source("PULSE_SOURCE", EnvOr("PARLANTO_TEST_MIC_SOURCE"));
    HangGuard guard(std::chrono::seconds(10), "the device after the server was killed");
    TWaveIn device;
    ASSERT_EQ(device.Open(kMono22k), TWaveResult::Ok);
    ASSERT_EQ(device.Start(), TWaveResult::Ok);
    Buffer small(1000);     // less than a fragment of 1024 samples
    ASSERT_EQ(device.Prepare(small.Header), TWaveResult::Ok);
    ASSERT_EQ(device.Add(small.Header), TWaveResult::Ok);
    FeedFifo(server.MicFifo(), Numbered(4096));
    ASSERT_TRUE(WaitDone(small.Header));

    server.Kill();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Buffer next(1000);
    EXPECT_LT(Timed([&] {
        EXPECT_EQ(device.Prepare(next.Header), TWaveResult::Ok);
        EXPECT_EQ(device.Add(next.Header), TWaveResult::ServerFailed);
        EXPECT_NE(device.Reset(), TWaveResult::Ok);
        EXPECT_EQ(device.Close(), TWaveResult::Ok);
    }), kAtOnceSeconds);
}

// A socket that takes the connection but never answers: the device gives up at its deadline.
TEST(WaveInWithoutServer, AServerThatNeverAnswersIsGivenUpAfterTwoSeconds)
{
    const std::string path = "/tmp/parlanto-mute-" + std::to_string(getpid());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    unlink(path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ScopedEnv mute("PULSE_SERVER", "unix:" + path);
    TWaveIn device;
    TWaveResult opened = TWaveResult::Ok;
    const double seconds = Timed([&] { opened = device.Open(kMono22k); });
    close(listener);
    unlink(path.c_str());
    EXPECT_EQ(opened, TWaveResult::Timeout);
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 3.0);
}

} // namespace
