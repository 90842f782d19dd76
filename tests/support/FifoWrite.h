#pragma once
// Feeding the test sound server's virtual microphone, a pipe source read from a FIFO: shared by the tests and
// the benchmarks, so it asserts nothing itself.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Writes samples into the FIFO, waiting while it is full; false when it cannot be opened or has not taken them
// all within limit (the source reads only while someone records).
inline bool WriteToFifo(const std::string& fifoPath, const std::vector<int16_t>& samples,
                        std::chrono::milliseconds limit)
{
    const int fifo = open(fifoPath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fifo < 0)
        return false;
    const auto* bytes = reinterpret_cast<const char*>(samples.data());
    size_t left = samples.size() * sizeof(int16_t);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (left > 0 && std::chrono::steady_clock::now() < deadline) {
        const ssize_t written = write(fifo, bytes, left);
        if (written > 0) {
            bytes += written;
            left -= static_cast<size_t>(written);
            continue;
        }
        pollfd ready{fifo, POLLOUT, 0};
        poll(&ready, 1, 100);
    }
    close(fifo);
    return left == 0;
}
