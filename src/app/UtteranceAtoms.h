#pragma once
// The final atoms of one WAV file's utterance, as a freshly started recognizer sees them: the file input's
// 1024-sample blocks through a new pre-processor (smoothed, trimmed, level-normalised).
#include <cstdint>
#include <string>
#include <vector>

#include "SovoTypes.h"

TArrayAtoms ReadUtteranceAtoms(const std::string& wavFile);

// The samples the atoms kept, atom after atom: the utterance as it is played back.
std::vector<int16_t> AtomSamples(const TArrayAtoms& atoms);
