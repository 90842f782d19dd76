#include "FuzzEntries.h"

#include <array>

std::span<const TFuzzEntry> FuzzEntries()
{
    static constexpr std::array<TFuzzEntry, 4> entries{{
        {"wav_input", FuzzWavInput},
        {"phoneme_models", FuzzPhonemeModels},
        {"command_models", FuzzCommandModels},
        {"recognition_chain", FuzzRecognitionChain},
    }};
    return entries;
}
