// parlanto-cli listen --microphone against the private sound server: commands and a knock played into the
// virtual microphone as a person would say them come out as the right lines, in order, each as soon as it is
// decided; SIGTERM ends the program cleanly, the command spoken just before it finished.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PulseTestServer.h"
#include "SpokenCommands.h"

using namespace pulsetest;

namespace {

const std::string kModels = std::string(PARLANTO_GOLDEN_DIR) + "/models/";

// The program, its standard output collected line by line as it comes.
class ListenProgram {
public:
    ListenProgram()
    {
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            execl(PARLANTO_CLI, PARLANTO_CLI, "listen", "--models", kModels.c_str(), "--microphone", nullptr);
            _exit(127);
        }
        close(out[1]);
        reader_ = std::thread([this, fd = out[0]] {
            char chunk[256];
            ssize_t n;
            while ((n = read(fd, chunk, sizeof chunk)) > 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                output_.append(chunk, static_cast<size_t>(n));
            }
            close(fd);
        });
    }
    ~ListenProgram()
    {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        reader_.join();
    }

    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> lines;
        for (size_t from = 0, end; (end = output_.find('\n', from)) != std::string::npos; from = end + 1)
            lines.push_back(output_.substr(from, end - from));
        return lines;
    }

    // Sends SIGTERM and returns the exit status once the program has ended.
    int Terminate()
    {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    std::thread reader_;
    std::mutex mutex_;
    std::string output_;
};

// Plays samples into the virtual microphone at the pace a microphone hears them.
void Play(const std::string& fifo, const std::vector<int16_t>& samples)
{
    constexpr size_t kBlock = 1024;
    auto next = std::chrono::steady_clock::now();
    for (size_t at = 0; at < samples.size(); at += kBlock) {
        const auto end = samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), at + kBlock));
        FeedFifo(fifo, std::vector<int16_t>(samples.begin() + static_cast<std::ptrdiff_t>(at), end));
        next += std::chrono::microseconds(kBlock * 1000000 / 22050);
        std::this_thread::sleep_until(next);
    }
}

// Whether the sound server has taken everything written into the virtual microphone.
bool MicrophoneTaken(const std::string& fifo)
{
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    int waiting = -1;
    ioctl(fd, FIONREAD, &waiting);
    close(fd);
    return waiting == 0;
}

class ListenMicrophone : public PulseServerTest {};

TEST_F(ListenMicrophone, PlayedCommandsAreLinesInOrderAndSigtermFinishesTheLastOne)
{
    // The last command ends the stream without the pause that would end it.
    const TSpokenCommands spoken = SpokenCommands(0.1);
    ListenProgram program;
    const std::string fifo = EnvOr("PARLANTO_TEST_MIC_FIFO");
    Play(fifo, spoken.Samples);
    EXPECT_TRUE(WaitUntil([&] { return program.Lines().size() >= 2; })) << "open and close, each once decided";
    ASSERT_TRUE(WaitUntil([&] { return MicrophoneTaken(fifo); }));
    EXPECT_EQ(program.Terminate(), 0);

    const std::vector<std::string> lines = program.Lines();
    ASSERT_EQ(lines.size(), spoken.Commands.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find("\"command\": \"" + spoken.Commands[i].Command + "\""), std::string::npos) << lines[i];
}

}  // namespace
