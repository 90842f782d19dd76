#pragma once
// Buffers for the device tests: storage and header together, and waiting for a device to give one back.
#include <cstdint>
#include <vector>

#include "WaitUntil.h"
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

// Polls the done flag as the device's users do; false when it never came.
inline bool WaitDone(const TWaveHeader& header)
{
    return WaitUntil([&header] { return header.IsDone(); });
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
