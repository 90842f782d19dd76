#pragma once
// Where the recordings of each phoneme unit are listed: a folder with one subfolder per unit holding its WAV
// files, or a CSV manifest with the columns path (relative to the manifest unless absolute) and unit.
#include <string>
#include <vector>

#include "PhonemeSetBuilder.h"

// Units in name order, each unit's *.wav files (any letter case) in name order; subfolders without any are
// left out. Raises ESovoError when root is not a folder.
std::vector<TUnitRecordings> RecordingsFromFolders(const std::string& root);
// Units in order of first appearance, files in manifest order.
std::vector<TUnitRecordings> RecordingsFromManifest(const std::string& csvFile);
