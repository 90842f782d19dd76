#include "PlayBuffer.h"

#include <gtest/gtest.h>

#include <iostream>

#include "PulseTestServer.h"
#include "mic_fixture.h"

using namespace mictest;
using namespace pulsetest;

namespace {

// Plays into the virtual loudspeaker while an ear listens to its monitor.
class Playback : public PulseServerTest {
protected:
    void SetUp() override
    {
        PulseServerTest::SetUp();
        if (!IsSkipped())
            UseSpeakerMonitor();
    }
};

TEST_F(Playback, PlaysTheSamplesAndReturnsOnceTheyHaveBeenPlayed)
{
    // Half a second, as the window plays a short command, and a longer utterance.
    for (const int32_t count : {11025, 3 * 22050}) {
        SCOPED_TRACE(testing::Message() << count << " samples");
        SourceEar monitor;
        const std::vector<int16_t> sound = Numbered(count);
        const double seconds = Timed([&] { PlayBuffer(sound.data(), count, 1, 22050, 2); });
        // The monitor runs behind the loudspeaker by its latency.
        EXPECT_TRUE(monitor.Heard(sound)) << "every sample comes back, unchanged and in order";

        const double length = count / 22050.0;
        // About 0.04 s over on an idle machine, up to 0.09 s with every core busy (PulseAudio); 0.11 s over on
        // PipeWire. A call that waited for anything but the sound's end would take longer still.
        EXPECT_GE(seconds, length);
        EXPECT_LT(seconds, length + 0.5);
        std::cout << "played " << length << " s in " << seconds << " s; heard at sample " << monitor.Where(sound)
                  << "\n";
    }
}

TEST_F(Playback, RefusesWhatTheDeviceCannotTake)
{
    struct Case {
        const char* Name;
        int32_t Count, Channels, SampleRate, BytesPerSample;
        std::string Message;
    };
    const std::string cannotOpen = "Ошибка открытия устройства вывода";
    const std::string cannotPrepare = "Ошибка подготовки буфера";
    const Case cases[] = {
        {"no channels", 100, 0, 22050, 2, cannotOpen},
        {"no rate", 100, 1, 0, 2, cannotOpen},
        {"5 bytes per sample", 100, 1, 22050, 5, cannotOpen},
        {"negative count", -1, 1, 22050, 2, cannotPrepare},
        {"more bytes than a buffer holds", 0x7FFFFFFF, 1, 22050, 4, cannotPrepare},
    };
    const std::vector<int16_t> sound(100, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(MessageOf([&] { PlayBuffer(sound.data(), c.Count, c.Channels, c.SampleRate, c.BytesPerSample); }),
                  c.Message);
    }
    EXPECT_EQ(MessageOf([&] { PlayBuffer(nullptr, 0, 1, 22050, 2); }), "(nothing thrown)");
}

} // namespace
