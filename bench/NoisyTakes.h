#pragma once
// Takes made the way the development corpus makes its noisy ones: the word between 100 and 500 ms of room
// noise, white or pink, 15 to 35 dB below the word's own loudness, with the same noise under the word. Every
// figure is drawn from the take's seed, so a benchmark meets the same takes on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "SignalFormat.h"

namespace bench {

struct TNoisyTake {
    double SnrDb = 0.0;     // the word's power over the noise's
    size_t Lead = 0;        // noise-only samples before the word
    size_t Trail = 0;       // and after it
    bool Pink = false;
};

inline TNoisyTake NoisyTakeOf(uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> snr(15.0, 35.0);
    std::uniform_int_distribution<size_t> margin(kSampleRate / 10, kSampleRate / 2);
    TNoisyTake take;
    take.SnrDb = snr(random);
    take.Lead = margin(random);
    take.Trail = margin(random);
    take.Pink = random() % 2 == 1;
    return take;
}

// count samples of white or pink noise (a sum of three leaky integrators of white noise, flat to within a
// decibel or so of 1/f over the speech band) at unit root mean square.
inline std::vector<double> RoomNoise(size_t count, bool pink, uint32_t seed)
{
    std::mt19937 random(seed ^ 0x9e3779b9u);
    std::normal_distribution<double> white(0.0, 1.0);
    std::vector<double> noise(count);
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
    double power = 0.0;
    for (double& value : noise) {
        const double w = white(random);
        if (pink) {
            b0 = 0.99765 * b0 + w * 0.0990460;
            b1 = 0.96300 * b1 + w * 0.2965164;
            b2 = 0.57000 * b2 + w * 1.0526913;
            value = b0 + b1 + b2 + w * 0.1848;
        } else {
            value = w;
        }
        power += value * value;
    }
    const double rms = std::sqrt(power / static_cast<double>(std::max<size_t>(count, 1)));
    for (double& value : noise)
        value /= std::max(rms, 1e-12);
    return noise;
}

inline std::vector<int16_t> NoisyTake(const std::vector<int16_t>& word, uint32_t seed)
{
    const TNoisyTake take = NoisyTakeOf(seed);
    double power = 0.0;
    for (const int16_t sample : word)
        power += static_cast<double>(sample) * sample;
    const double wordRms = std::sqrt(power / static_cast<double>(std::max<size_t>(word.size(), 1)));
    const double noiseRms = wordRms / std::pow(10.0, take.SnrDb / 20.0);
    const std::vector<double> noise = RoomNoise(take.Lead + word.size() + take.Trail, take.Pink, seed);
    std::vector<int16_t> samples(noise.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double speech = i >= take.Lead && i - take.Lead < word.size() ? word[i - take.Lead] : 0.0;
        samples[i] = static_cast<int16_t>(std::clamp(std::round(speech + noise[i] * noiseRms), -32768.0, 32767.0));
    }
    return samples;
}

}  // namespace bench
