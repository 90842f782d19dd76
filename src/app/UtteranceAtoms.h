#pragma once
// The final atoms of one WAV file's utterance, as a freshly started recognizer sees them: the file input's
// 1024-sample blocks through a new pre-processor (smoothed, trimmed, level-normalised).
#include <string>

#include "SovoTypes.h"

TArrayAtoms ReadUtteranceAtoms(const std::string& wavFile);
