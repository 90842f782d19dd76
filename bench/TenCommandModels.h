#pragma once
// A model folder with ten commands of three takes each, made from the reference utterances and the examples
// with the shipped phoneme set, as a user who enrolled them would have it. Takes are recorded as they are, as in
// a noisy room (about a quarter second of white noise before and after the word and the same noise under it,
// about 38 dB below full scale, so that the pre-processor keeps the noise), or as the development corpus's
// noisy takes are (NoisyTakes.h).
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../tests/support/TempDir.h"
#include "BenchAudio.h"
#include "NoisyTakes.h"
#include "FileRecognizer.h"
#include "PhonemeSetCopy.h"
#include "SaveModel.h"

namespace bench {

enum class TRoom { Quiet, Noisy, NoisyTakes };

// Noise of +-400 (from a fixed seed) added to every sample.
inline void AddRoomNoise(std::vector<int16_t>& samples, uint32_t seed)
{
    uint32_t state = 12345u + seed;
    for (int16_t& sample : samples) {
        state = state * 1664525u + 1013904223u;
        const int noise = static_cast<int>(state >> 22) - 512;   // -512..511
        sample = static_cast<int16_t>(std::clamp(sample + noise * 400 / 512, -32768, 32767));
    }
}

// The word as recorded, in a noisy room between noise leads of 200 + 50·seed ms, or as a noisy take of seed.
inline std::vector<int16_t> Take(const std::string& wavFile, uint32_t seed, TRoom room)
{
    const std::vector<int16_t> word = ReadSamples(wavFile);
    if (room == TRoom::Quiet)
        return word;
    if (room == TRoom::NoisyTakes)
        return NoisyTake(word, seed);
    const size_t lead = static_cast<size_t>(kSampleRate) * (200 + 50 * seed) / 1000;
    std::vector<int16_t> samples(lead, 0);
    samples.insert(samples.end(), word.begin(), word.end());
    samples.resize(samples.size() + lead, 0);
    AddRoomNoise(samples, seed);
    return samples;
}

class TTenCommandModels {
public:
    static constexpr uint32_t kTakes = 3;

    explicit TTenCommandModels(TRoom room) : room_(room)
    {
        const std::string golden = std::string(PARLANTO_GOLDEN_DIR) + "/wav/";
        const std::string examples = std::string(PARLANTO_SOURCE_DIR) + "/examples/";
        CopyPhonemeSet(std::string(PARLANTO_SOURCE_DIR) + "/Models/", dir_.Dir());
        const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
            {"open", {golden + "open_train1.wav", golden + "open_train2.wav", golden + "open_test1.wav"}},
            {"close", {golden + "close_train1.wav", golden + "close_train2.wav", golden + "close_test1.wav"}},
            {"stop", {golden + "stop_train1.wav", golden + "stop_train2.wav", golden + "stop_test1.wav"}},
            {"a", {golden + "vowel_a.wav"}},         {"e", {golden + "vowel_e.wav"}},
            {"i", {golden + "vowel_i.wav"}},         {"o", {golden + "vowel_o.wav"}},
            {"louder", {examples + "louder.wav"}},   {"next", {examples + "next.wav"}},
            {"pause", {examples + "pause.wav"}},
        };
        for (uint32_t index = 0; index < commands.size(); ++index) {
            const auto& [command, sources] = commands[index];
            for (uint32_t take = 0; take < kTakes; ++take) {
                // Noisy takes each draw noise of their own; the noisy room's leads stay 200..300 ms.
                const uint32_t seed = room == TRoom::NoisyTakes ? kTakes * index + take : take;
                const std::string wav = WriteWav(command + std::to_string(take) + ".wav",
                                                 Take(sources[take % sources.size()], seed, room));
                TFileRecognizer recognizer(dir_.Dir());
                recognizer.Recognize(wav);
                SaveLastCommandAsModel(*recognizer.Sovo().Dictionary, dir_.Dir(), command,
                                       command + std::to_string(take + 1));
            }
        }
    }

    std::string Dir() const { return dir_.Dir(); }
    TRoom Room() const { return room_; }
    std::string WriteWav(const std::string& name, const std::vector<int16_t>& samples) const
    {
        return dir_.WriteWav(name, samples);
    }

private:
    TempDir dir_;
    TRoom room_;
};

}  // namespace bench
