#pragma once
// Records handed from stage to stage: the per-hop atom and the phoneme-score trajectory of an utterance.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "BarkBands.h"
#include "NumericArrays.h"

constexpr int kHopSize = 64;            // samples per atom
constexpr int kPhonemeNameBytes = 6;

struct TAtom {
    int32_t HopSize = 0;
    int32_t SampleCount = 0;                // valid entries of Samples
    int16_t Samples[kHopSize] = {};
    bool Quiet = false;
    double MainTone = 0.0;                  // Hz
    double Voicing = 0.0;
    double Energy = 0.0;
    double Level = 0.0;
    double Spectrum[kBinCount] = {};        // element 0 holds MainTone instead of the DC magnitude
    double Bands[kBandCount] = {};
    double Envelope[kBandCount] = {};
    uint8_t EnvelopeBytes[kBandCount] = {};
};

using TArrayAtoms = std::vector<TAtom>;

// First up-to-6 bytes of a phoneme's name, zero-padded.
using TPhonemeName = std::array<char, kPhonemeNameBytes>;

struct TCommandTraj {
    int32_t PhonemeCount = 0;               // columns
    int32_t AtomCount = 0;                  // rows
    std::vector<int32_t> Ids;               // column keys: the phoneme models' ids
    std::vector<TPhonemeName> Names;
    std::vector<std::vector<double>> Rows;  // Rows[atom][phoneme column]
};

// Clears Traj, then sizes it to phonemeCount columns and atomCount rows of zeros.
void InitCommandTraj(TCommandTraj& traj, int32_t phonemeCount, int32_t atomCount);
void ClearCommandTraj(TCommandTraj& traj);

// Name field from a phoneme's characters: the first up-to-6 bytes, the rest zero.
TPhonemeName MakePhonemeName(const std::string& chars);
