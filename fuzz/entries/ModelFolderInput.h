#pragma once
// A fuzz input that describes a small model folder, and writing it out. Each file starts with a line
// ">>> NAME"; its bytes run up to the line break before the next such line, or to the end of the input. Bytes
// before the first file are ignored, a later file of the same name replaces the earlier one.
// NAME may hold one folder level ("Data\u01_1.bin" or "Data/u01_1.bin"); it is reduced to letters, digits, '.',
// '_' and '-', other bytes and the components "." and ".." becoming '_', so every file lands inside the folder.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TModelFolderFile {
    std::string Name;                 // safe relative name, "/" between folder and file
    std::span<const uint8_t> Bytes;   // into the input
};

std::vector<TModelFolderFile> SplitModelFolder(std::span<const uint8_t> input);

// The input's files written into a fresh scratch folder (FuzzScratch.h) of that name; returns the folder, with
// a trailing "/". A file that cannot be written there (its name is taken by a folder) is left out.
std::string WriteModelFolder(const std::string& scratchName, std::span<const uint8_t> input);
