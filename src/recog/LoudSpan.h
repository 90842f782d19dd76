#pragma once
// Where a sound lies in a series of loudness values, judged against the series' own floor, so that one rule
// holds for a soft word in a quiet room, a loud one in noise and anything between.
#include <cstddef>
#include <vector>

struct TSpan {
    size_t First = 0;   // first element kept
    size_t End = 0;     // one past the last element kept

    size_t Size() const { return End - First; }
};

struct TLoudRule {
    double Rise = 0.15;   // share of the floor-to-peak range an element rises above the floor to count as loud
    size_t Margin = 0;    // elements kept on either side of the loud ones, for weak onsets and endings
    // In noise a word's weak edges drown, and what rises a little above the floor is mostly noise: where the
    // peak is below NoisyPeakRatio times the floor, NoisyRise applies instead. A ratio of 0 never applies it.
    double NoisyPeakRatio = 0.0;
    double NoisyRise = 0.0;
};

// Positions of the quietest tenth of the values (at least one), from the quietest up; ties in order.
std::vector<size_t> QuietestTenth(const std::vector<double>& loudness);

// From the first to the last element louder than floor + rise × (peak − floor), widened by the margin. The
// floor is the mean of the quietest tenth of the values. A series whose values are all equal (or that is
// empty) is kept whole.
TSpan LoudSpan(const std::vector<double>& loudness, const TLoudRule& rule);
