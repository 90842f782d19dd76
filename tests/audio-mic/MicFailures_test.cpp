// How the microphone input and playback fail: refused parameters, no server, a server that goes away.
#include <gtest/gtest.h>

#include <thread>

#include "PlayBuffer.h"
#include "PulseTestServer.h"
#include "SovoMicInput.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

const std::string kInputParameters = "Неверные параметры записи (метод <Create> объект <MicInput>).";
const std::string kThreadParameters = "Неверные параметры записи (метод <Create> объект <MicRecord>).";
const std::string kCannotOpen = "Ошибка открытия устройства записи (метод <Create> объект <MicRecord>).";
const std::string kCannotOpenOutput = "Ошибка открытия устройства вывода";
const std::string kNothing = "(nothing thrown)";

const char* const kNowhere = "unix:/nonexistent/parlanto/native";

TEST(MicParameters, OnlyMonoSixteenBitAtTheUsualRatesIsRecorded)
{
    struct Case {
        int32_t Channels, SampleRate, BytesPerSample;
        bool Accepted;
    };
    const Case cases[] = {
        {1, 22050, 2, true}, {1, 8000, 2, true}, {1, 11025, 2, true}, {1, 44100, 2, true},
        {2, 22050, 2, false}, {1, 16000, 2, false}, {1, 22050, 1, false}, {0, 22050, 2, false}, {1, 48000, 2, false},
    };
    // Creating the input opens nothing, so accepted parameters need no server.
    ScopedEnv nowhere("PULSE_SERVER", kNowhere);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Channels << " channels, " << c.SampleRate << " Hz, " << c.BytesPerSample
                                        << " bytes");
        const std::string refusal = c.Accepted ? kNothing : kInputParameters;
        EXPECT_EQ(MessageOf([&] { TSovoMicInput(1024, c.Channels, c.SampleRate, c.BytesPerSample); }), refusal);
        if (!c.Accepted) {
            EXPECT_EQ(MessageOf([&] { TSovoMicRecording(1024, c.Channels, c.SampleRate, c.BytesPerSample); }),
                      kThreadParameters);
            EXPECT_EQ(MessageOf([&] { TSovoMicLevelShowing(1024, c.Channels, c.SampleRate, c.BytesPerSample); }),
                      kThreadParameters);
        }
    }
}

// Every use of a device fails at once with its message, and a failed Start leaves the input able to start.
TEST(MicWithoutServer, EveryDeviceUseFailsAtOnceWithItsMessage)
{
    ScopedEnv nowhere("PULSE_SERVER", kNowhere);
    TSovoMicInput input(1024, 1, 22050, 2);
    Delivery got;
    got.Attach(input);
    const std::vector<int16_t> sound(11025, 1000);
    struct Step {
        const char* Name;
        std::function<void()> Action;
        std::string Message;
    };
    const Step steps[] = {
        {"SetOnLevel starts a meter", [&] { input.SetOnLevel([](int32_t, int32_t) {}); }, kCannotOpen},
        {"Start", [&] { input.Start(); }, kCannotOpen},
        {"Start again", [&] { input.Start(); }, kCannotOpen},
        {"Stop restarts the meter", [&] { input.Stop(); }, kCannotOpen},
        {"Reset restarts the meter", [&] { input.Reset(); }, kCannotOpen},
        {"PlayBuffer", [&] { PlayBuffer(sound.data(), 11025, 1, 22050, 2); }, kCannotOpenOutput},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Name);
        std::string message;
        EXPECT_LT(Timed([&] { message = MessageOf(step.Action); }), kAtOnceSeconds);
        EXPECT_EQ(message, step.Message);
        EXPECT_FALSE(input.IsRecording());
    }
    EXPECT_TRUE(got.Counts.empty());
}

// Each case runs against a server of its own, taken down while the devices use it. The source is the
// loudspeaker's monitor: silence, in real time.
class ServerGoesAway : public testing::Test {
protected:
    void SetUp() override
    {
        if (EnvOr("PULSE_SERVER").empty())
            GTEST_SKIP() << "no test sound server: ./test.sh starts one (this test starts its own the same way)";
    }

    // Starts a fresh server and makes it the one that new devices use.
    PrivateServer& StartServer()
    {
        address_.reset();
        server_.emplace();
        EXPECT_TRUE(server_->Started());
        address_.emplace("PULSE_SERVER", server_->Address());
        return *server_;
    }

private:
    std::optional<PrivateServer> server_;
    std::optional<ScopedEnv> address_;
    ScopedEnv source_{"PULSE_SOURCE", EnvOr("PARLANTO_TEST_SPEAKER_MONITOR")};
    HangGuard guard_{std::chrono::seconds(30), "a test whose server went away"};
};

TEST_F(ServerGoesAway, StopStillDeliversWhatWasCollected)
{
    for (const bool kill : {false, true}) {
        SCOPED_TRACE(kill ? "server killed" : "server told to exit");
        PrivateServer& server = StartServer();
        TSovoMicInput input(1024, 1, 22050, 2);
        Delivery got;
        got.Attach(input);
        input.Start();
        ASSERT_TRUE(CaptureReaches(input, 3));
        kill ? server.Kill() : server.Exit();
        std::string message;
        EXPECT_LT(Timed([&] { message = MessageOf([&] { input.Stop(); }); }), kAtOnceSeconds);
        EXPECT_EQ(message, kCannotOpen) << "the meter cannot start again; the recording was delivered before";
        const auto blocks = static_cast<int32_t>(got.Progress.size());
        EXPECT_GE(blocks, 3);
        EXPECT_EQ(got, Delivery::Expected(std::vector<int16_t>(static_cast<size_t>(blocks) * 1024, 0), blocks));
        EXPECT_FALSE(input.IsRecording());
    }
}

// The sound plays on a thread of its own, so that this one can hear it through the level meter (the source is
// the loudspeaker's monitor) and then take the server down.
TEST_F(ServerGoesAway, PlaybackReturnsAndTheLevelMeterEndsPromptly)
{
    constexpr double kSoundSeconds = 10.0;
    PrivateServer& server = StartServer();
    auto input = std::make_unique<TSovoMicInput>(1024, 1, 22050, 2);
    LevelLog log;
    input->SetOnLevel(log.Proc());
    ASSERT_TRUE(log.WaitFor(2));
    const std::vector<int16_t> sound(static_cast<size_t>(kSoundSeconds * 22050), 1000);
    std::string message;
    Clock::time_point ended;
    std::thread player([&] {
        message = MessageOf([&] { PlayBuffer(sound.data(), static_cast<int32_t>(sound.size()), 1, 22050, 2); });
        ended = Clock::now();
    });
    const bool heard = WaitUntil([&log] {
        MainThreadQueue().Drain();
        return !log.Levels.empty() && log.Levels.back().first > 0;
    });
    const auto killed = Clock::now();
    server.Kill();
    player.join();
    EXPECT_TRUE(heard) << "the sound reached the loudspeaker";
    EXPECT_EQ(message, kNothing);
    EXPECT_LT(std::chrono::duration<double>(ended - killed).count(), kSoundSeconds / 2)
        << "the sound ended with the server, not after its 10 s";
    EXPECT_LT(Timed([&] { input.reset(); }), kAtOnceSeconds);
}

} // namespace
