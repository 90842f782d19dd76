#pragma once
// Any uncompressed WAV file (integer PCM of 8 to 32 bits or IEEE float of 32 or 64 bits, plain or extensible
// header, any rate and channel count) read whole and mixed down to one channel of floats in [-1, 1].
#include <cstdint>
#include <string>
#include <vector>

struct TDecodedWave {
    int32_t SampleRate = 0;
    std::vector<float> Mono;   // the channels' mean per frame
};

// False when the file cannot be opened or read, or holds no format of the kinds above.
bool DecodeWave(const std::string& fileName, TDecodedWave& wave);
