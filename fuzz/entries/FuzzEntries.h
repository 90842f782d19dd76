#pragma once
// Entry functions of the fuzz targets: each runs one input through one part of the program the way the program
// uses it. ESovoError (a refused file, a damaged model) is an expected outcome and returns 0; anything else
// escapes, so that libFuzzer and the replay test both report it.
#include <cstddef>
#include <cstdint>
#include <span>

// The bytes as a WAV file: through the file input the recognizer uses, then through its sample source in
// blocks of odd sizes and with skips.
int FuzzWavInput(const uint8_t* data, size_t size);
// The bytes as a model folder (ModelFolderInput.h): its .phm phoneme models with their templates, which then
// score a few atoms.
int FuzzPhonemeModels(const uint8_t* data, size_t size);
// The bytes as a model folder (ModelFolderInput.h): its .vcm command models with their .trj trajectories, each
// of which is then recognized against all of them, in both match modes.
int FuzzCommandModels(const uint8_t* data, size_t size);
// The bytes as the sample blocks of a recognizer with the shipped models. Byte 0 picks the matcher (bit 0 set:
// aligned). Then each block is a 16-bit little-endian sample count followed by that many 16-bit little-endian
// samples (fewer when the input ends first); a count of 0 is the end call that closes an utterance. The input's
// end makes one more end call.
int FuzzRecognitionChain(const uint8_t* data, size_t size);

struct TFuzzEntry {
    const char* Name;   // the target's name: its folder under fuzz/corpus/ and fuzz/regressions/
    int (*Run)(const uint8_t* data, size_t size);
};

std::span<const TFuzzEntry> FuzzEntries();
