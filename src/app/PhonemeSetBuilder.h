#pragma once
// Builds a phoneme set from recordings: the loud atoms of each unit's recordings, as our own pre-processor
// makes them, are clustered under the envelope correlation and every cluster's centre becomes a template.
// Units come from labels (a unit per label) or from the data (all atoms clustered into a number of units).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SovoPhon.h"

struct TUnitRecordings {
    std::string Unit;                 // the label; becomes the phoneme's Chars
    std::vector<std::string> Files;   // WAV files
};

struct TPhonemeBuildSettings {
    static constexpr int kMaxTemplates = 10;
    int TemplatesPerUnit = 1;         // 1..kMaxTemplates
    int DataDrivenUnits = 0;          // 0: one unit per label; N: N units clustered from all atoms, labels ignored
    double MinLevel = 0.5;            // atoms below this Level (0..1 within their utterance) are too faint to learn
};

struct TBuiltPhoneme {
    std::string Name;
    int32_t Id = 0;
    std::vector<TPhonemeTemplate> Templates;   // byte 0: the low 8 bits of the members' median main tone in Hz
    size_t AtomCount = 0;                      // loud atoms the templates were learnt from
};

// A unit without loud atoms is left out. Raises ESovoError when no unit has any, or when a file cannot be read.
std::vector<TBuiltPhoneme> BuildPhonemeSet(const std::vector<TUnitRecordings>& recordings,
                                           const TPhonemeBuildSettings& settings);

// The id of a unit: a hash of its name, so that a rebuild gives a unit the id it had, whatever else changed.
// Distinct names that collide are told apart by counting upwards from the hash; ids are never 0 or negative.
std::vector<int32_t> StablePhonemeIds(const std::vector<std::string>& names);
