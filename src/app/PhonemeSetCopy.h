#pragma once
// Copies the phoneme set of one model folder into another: every .phm file and the template files it names,
// at the same places relative to the folder. Command models (.vcm, .trj) are not copied.
#include <string>

// toDir exists. A template outside fromDir is refused with ESovoError,
// since its copy would land outside toDir.
void CopyPhonemeSet(const std::string& fromDir, const std::string& toDir);
