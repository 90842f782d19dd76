#pragma once
// The private sound server that test.sh starts for the audio tests (tools/pulse_test_server.sh or
// tools/pipewire_test_server.sh), found through the environment. Its virtual microphone is a pipe source fed
// through a FIFO. PulseAudio's delivers exactly what is written, as fast as it is written, and never produces
// silence of its own; PipeWire's runs in real time, fills every gap with silence and passes on only whole
// chunks of 512 samples, keeping a partial one back until more comes. The monitor of the virtual loudspeaker,
// a null sink, runs in real time on both and is silent while nothing plays.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FifoWrite.h"
#include "WaitUntil.h"

namespace pulsetest {

// Sets (or with nullopt removes) an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const std::string& name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name.c_str()))
            old_ = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value)
    {
        if (value)
            setenv(name_.c_str(), value->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

    std::string name_;
    std::optional<std::string> old_;
};

inline std::string EnvOr(const char* name, const std::string& otherwise = "")
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : otherwise;
}

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// How long a device call may take that must not wait for the server: well below the 2 s the devices give the
// server to answer, so that a call that waited for it shows, and far above what a loaded machine adds.
constexpr double kAtOnceSeconds = 1.0;

// Runs action and returns how long it took, in seconds.
inline double Timed(const std::function<void()>& action)
{
    const auto start = Clock::now();
    action();
    return SecondsSince(start);
}

// Writes samples into a pipe source's FIFO. Fails the test instead of hanging when nothing has read them
// within a few seconds.
inline void FeedFifo(const std::string& fifoPath, const std::vector<int16_t>& samples)
{
    ASSERT_TRUE(WriteToFifo(fifoPath, samples, std::chrono::seconds(5)))
        << "the virtual microphone cannot be opened or stopped taking samples";
}

// Whether the virtual microphone passes on exactly what is fed and nothing else (PulseAudio's does).
inline bool MicrophoneIsExact()
{
    return EnvOr("PARLANTO_TEST_SERVER_KIND", "pulse") != "pipewire";
}

// The samples without the silence before and after them.
inline std::vector<int16_t> WithoutSilenceAround(const std::vector<int16_t>& samples)
{
    const auto loud = [](int16_t sample) { return sample != 0; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    return first < last ? std::vector<int16_t>(first, last) : std::vector<int16_t>();
}

// Bytes written into a FIFO that nobody has read yet.
inline int UnreadBytes(const std::string& fifoPath)
{
    const int fifo = open(fifoPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int unread = -1;
    if (fifo >= 0) {
        ioctl(fifo, FIONREAD, &unread);
        close(fifo);
    }
    return unread;
}

// Ends the test program with a failure when it is still alive after the given time: a test of "never
// hangs" must not stall the whole run when it does hang.
class HangGuard {
public:
    HangGuard(std::chrono::milliseconds limit, std::string what)
        : watcher_([this, limit, what = std::move(what)] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!disarmed_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "HANG: %s did not end within %lld ms\n", what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        disarmed_.notify_one();
        watcher_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable disarmed_;
    bool done_ = false;
    std::thread watcher_;
};

// Base of the tests that need the server: skips without one; holds the server alone while a test runs
// (ctest runs tests in parallel processes, and they share one microphone); starts every test with an empty
// microphone.
class PulseServerTest : public testing::Test {
protected:
    static constexpr size_t kSilenceAfterFeed = 1024;   // two of the chunks a real-time microphone passes on
    static constexpr size_t kFeedPiece = 512;           // one of them
    static constexpr int kFeedAhead = 4 * 1024;          // bytes waiting in the FIFO: enough to leave no gap

    void SetUp() override
    {
        micFifo_ = EnvOr("PARLANTO_TEST_MIC_FIFO");
        if (EnvOr("PULSE_SERVER").empty() || micFifo_.empty())
            GTEST_SKIP() << "no test sound server: ./test.sh starts one and exports PULSE_SERVER and "
                            "PARLANTO_TEST_MIC_FIFO";
        lock_ = open((micFifo_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lock_, 0);
        ASSERT_EQ(flock(lock_, LOCK_EX), 0);
        DrainMicrophone();
        UseMicrophone();
    }

    void TearDown() override
    {
        source_.reset();
        if (lock_ >= 0)
            close(lock_);
    }

    // Makes the virtual microphone, or the loudspeaker's monitor, the default source of new streams.
    void UseMicrophone() { UseSource(EnvOr("PARLANTO_TEST_MIC_SOURCE")); }
    void UseSpeakerMonitor() { UseSource(EnvOr("PARLANTO_TEST_SPEAKER_MONITOR")); }

    // Writes samples into the virtual microphone. A real-time microphone takes them no faster than it plays
    // them out, so a long feed goes in a piece at a time as it takes them, a few pieces ahead; and as it keeps
    // a partial chunk back, silence follows, so that all of the samples come through now rather than in the
    // next recording.
    void FeedMicrophone(const std::vector<int16_t>& samples)
    {
        if (MicrophoneIsExact()) {
            FeedFifo(micFifo_, samples);
            return;
        }
        std::vector<int16_t> paced = samples;
        paced.resize(samples.size() + kSilenceAfterFeed, 0);
        for (size_t at = 0; at < paced.size(); at += kFeedPiece) {
            ASSERT_TRUE(WaitUntil([this] { return UnreadBytes(micFifo_) < kFeedAhead; }))
                << "the microphone takes nothing";
            const auto end = paced.begin() + static_cast<std::ptrdiff_t>(std::min(at + kFeedPiece, paced.size()));
            FeedFifo(micFifo_, std::vector<int16_t>(paced.begin() + static_cast<std::ptrdiff_t>(at), end));
        }
    }

    // Waits until the server has taken everything fed from the microphone's FIFO.
    bool MicrophoneTookAll() const
    {
        return WaitUntil([this] { return UnreadBytes(micFifo_) == 0; });
    }

    // Throws away what earlier tests left in the microphone's FIFO.
    void DrainMicrophone()
    {
        const int fifo = open(micFifo_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(fifo, 0);
        char scrap[65536];
        while (read(fifo, scrap, sizeof scrap) > 0) {
        }
        close(fifo);
    }

private:
    void UseSource(const std::string& name)
    {
        source_.reset();
        source_.emplace("PULSE_SOURCE", name);
    }

    std::string micFifo_;
    int lock_ = -1;
    std::optional<ScopedEnv> source_;
};

// A server of the test's own, for tests that take it down; made like the shared one, by the same script
// (the PulseAudio one when the shared server was started by hand).
class PrivateServer {
public:
    PrivateServer()
    {
        char pattern[] = "/tmp/pulse-own-XXXXXX";
        dir_ = mkdtemp(pattern);
        started_ = Script("start") == 0;
    }
    ~PrivateServer() { Script("stop"); }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool Started() const { return started_; }
    std::string Address() const { return "unix:" + dir_ + "/native"; }
    std::string MicFifo() const { return dir_ + "/mic.fifo"; }
    // Asks the server to exit and waits until it has.
    void Exit() { Script("stop"); }
    // Kills the server and waits until its socket is closed.
    void Kill()
    {
        pid_t pid = 0;
        std::ifstream(dir_ + "/pid") >> pid;
        if (pid > 0)
            kill(pid, SIGKILL);
        EXPECT_TRUE(WaitUntil([this] { return !Answers(); })) << "the killed server still takes connections";
    }

private:
    // Whether the server's socket takes a connection.
    bool Answers() const
    {
        const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        (dir_ + "/native").copy(address.sun_path, sizeof address.sun_path - 1);
        const bool connected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(client);
        return connected;
    }

    int Script(const std::string& verb) const
    {
        const std::string script =
            EnvOr("PARLANTO_TEST_SERVER_SCRIPT", std::string(PARLANTO_SOURCE_DIR) + "/tools/pulse_test_server.sh");
        const std::string command = script + " " + verb + " " + dir_;
        return std::system(command.c_str());
    }

    std::string dir_;
    bool started_ = false;
};

} // namespace pulsetest
