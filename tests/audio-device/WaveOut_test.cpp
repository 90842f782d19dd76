#include "WaveOut.h"

#include <gtest/gtest.h>

#include "PulseTestServer.h"
#include "device_fixture.h"

using namespace devicetest;
using namespace pulsetest;

namespace {

constexpr TPcmFormat kMono22k{1, 22050, 2};

class WaveOut : public PulseServerTest {
protected:
    void Play(Buffer& buffer)
    {
        ASSERT_EQ(device.Prepare(buffer.Header), TWaveResult::Ok);
        ASSERT_EQ(device.Write(buffer.Header), TWaveResult::Ok);
    }

    TWaveOut device;
};

TEST_F(WaveOut, PlaysOneBufferAtATimeAndResetHandsItBackAtOnce)
{
    ASSERT_EQ(device.Open(kMono22k), TWaveResult::Ok);
    Buffer second(1024);
    Buffer first(10 * 22050);   // ten seconds: still playing however slowly the test goes on
    Play(first);
    ASSERT_EQ(device.Prepare(second.Header), TWaveResult::Ok);
    EXPECT_EQ(device.Write(second.Header), TWaveResult::Busy);
    EXPECT_EQ(device.Unprepare(first.Header), TWaveResult::StillQueued);
    EXPECT_FALSE(first.Header.IsDone());

    const double resetSeconds = Timed([&] { EXPECT_EQ(device.Reset(), TWaveResult::Ok); });
    EXPECT_TRUE(first.Header.IsDone());
    EXPECT_LT(resetSeconds, kAtOnceSeconds);
    EXPECT_EQ(device.Unprepare(first.Header), TWaveResult::Ok);

    // A trailing part of a frame is left out instead of failing the whole buffer; the rest is given back once
    // it has played, not before.
    second.Header.BufferLength = 2 * 512 + 1;
    EXPECT_EQ(device.Write(second.Header), TWaveResult::Ok);
    const double seconds = Timed([&] { EXPECT_TRUE(WaitDone(second.Header)); });
    EXPECT_GE(seconds, 512 / 22050.0 - 0.005);
}

TEST_F(WaveOut, AnEmptyBufferComesBackAtOnce)
{
    ASSERT_EQ(device.Open(kMono22k), TWaveResult::Ok);
    Buffer empty(0);
    Play(empty);
    EXPECT_LT(Timed([&] { EXPECT_TRUE(WaitDone(empty.Header)); }), kAtOnceSeconds);
}

TEST(WaveOutWithoutServer, OpenFailsAtOnceAndEveryCallOnTheClosedDeviceIsRefused)
{
    ScopedEnv nowhere("PULSE_SERVER", "unix:/nonexistent/parlanto/native");
    TWaveOut device;
    TWaveResult opened = TWaveResult::Ok;
    EXPECT_LT(Timed([&] { opened = device.Open(kMono22k); }), kAtOnceSeconds);
    EXPECT_EQ(opened, TWaveResult::NoServer);
    Buffer buffer(1024);
    EXPECT_EQ(device.Prepare(buffer.Header), TWaveResult::NotOpen);
    EXPECT_EQ(device.Write(buffer.Header), TWaveResult::NotOpen);
    EXPECT_EQ(device.Reset(), TWaveResult::NotOpen);
    EXPECT_EQ(device.Close(), TWaveResult::NotOpen);
}

} // namespace
