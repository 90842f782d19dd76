#pragma once
// Plays a block of PCM samples on the default output device and returns when it has been played.
#include <cstdint>

// data: count sample values of bytesPerSample bytes each, channels interleaved; it must stay unchanged
// during the call. Raises a message when the device cannot be opened or refuses the buffer.
void PlayBuffer(const int16_t* data, int32_t count, int32_t channels, int32_t sampleRate, int32_t bytesPerSample);
