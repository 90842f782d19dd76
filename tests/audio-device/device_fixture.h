#pragma once
// Buffers for the device tests: storage and header together, and waiting for a device to give one back.
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "WaveTypes.h"

namespace devicetest {

struct Buffer {
    explicit Buffer(size_t samples) : Samples(samples, 0)
    {
        Header.Data = reinterpret_cast<char*>(Samples.data());
        Header.BufferLength = static_cast<uint32_t>(samples * sizeof(int16_t));
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    std::vector<int16_t> Samples;
    TWaveHeader Header;
};

// Polls the done flag as the device's users do; false when it did not come within timeout.
inline bool WaitDone(const TWaveHeader& header, std::chrono::milliseconds timeout = std::chrono::seconds(3))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!header.IsDone()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// count samples, none of them 0 and no two neighbours alike, starting at first.
inline std::vector<int16_t> Numbered(size_t count, int first = 1)
{
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>((first + static_cast<int>(i)) % 30000 + 1);
    return samples;
}

} // namespace devicetest
