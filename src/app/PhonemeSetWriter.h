#pragma once
// Writes a built phoneme set into a model folder: NAME.phm per phoneme and its templates as Data/NAME_k.bin.
// The folder's previous phoneme set (every .phm and the templates it names) is replaced as a whole, so that no
// phoneme of an older set stays behind; command models (.vcm, .trj) are left alone.
#include <string>
#include <vector>

#include "PhonemeSetBuilder.h"

// Creates dir and dir/Data when missing. A name that cannot be a file name or a .phm value (empty, with
// blanks, separators, control characters or "..") is refused with ESovoError before anything is written.
void WritePhonemeSet(const std::vector<TBuiltPhoneme>& phonemes, const std::string& dir);
