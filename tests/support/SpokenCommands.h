#pragma once
// A room in which the reference commands are spoken one after another, with room noise between them and,
// between two of them, a knock: what hands-free listening is to find, and where.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "R_SOURCE.h"

struct TSpokenCommand {
    std::string Command;   // as the reference models name it
    double Start = 0.0;    // its file's place in the stream, seconds
    double End = 0.0;
};

struct TSpokenCommands {
    std::vector<int16_t> Samples;
    std::vector<TSpokenCommand> Commands;
};

inline std::vector<int16_t> ReferenceUtterance(const std::string& name)
{
    TWavFileSource source;
    source.Open(std::string(PARLANTO_GOLDEN_DIR) + "/wav/" + name + ".wav");
    const int16_t* samples = nullptr;
    const int32_t count = source.Read(1, samples, static_cast<int32_t>(source.TotalSamples()), 0);
    return std::vector<int16_t>(samples, samples + count);
}

// open, close and stop (their test takes), each after a second of room noise, a knock of three short hits
// half way between close and stop, and trail seconds of room noise at the end.
inline TSpokenCommands SpokenCommands(double trail = 1.0)
{
    constexpr double kRate = 22050.0;
    std::mt19937 random(11);
    std::normal_distribution<double> room(0.0, 40.0);
    TSpokenCommands stream;
    const auto noise = [&](double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * kRate); ++i)
            stream.Samples.push_back(static_cast<int16_t>(std::lround(room(random))));
    };
    const auto knock = [&] {
        for (int hit = 0; hit < 3; ++hit) {
            for (int i = 0; i < 400; ++i)
                stream.Samples.push_back(static_cast<int16_t>(std::lround(9000 * std::exp(-i / 60.0) * (i % 2 ? 1 : -1))));
            noise(0.15);
        }
    };
    for (const auto& [name, command] : {std::pair{"open_test1", "OPEN"}, {"close_test1", "CLOSE"}, {"stop_test1", "STOP"}}) {
        noise(0.5);
        if (std::string(command) == "STOP")
            knock();
        noise(0.5);
        const std::vector<int16_t> utterance = ReferenceUtterance(name);
        const double start = static_cast<double>(stream.Samples.size()) / kRate;
        for (const int16_t s : utterance)
            stream.Samples.push_back(static_cast<int16_t>(std::clamp(s + std::lround(room(random)), -32768L, 32767L)));
        stream.Commands.push_back({command, start, static_cast<double>(stream.Samples.size()) / kRate});
    }
    noise(trail);
    return stream;
}
