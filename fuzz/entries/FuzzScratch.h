#pragma once
// The fuzz entries' scratch space: one temporary folder per process (under TMPDIR), removed when the process
// ends normally. Each entry clears and refills its own subfolder for every input.
#include <cstdint>
#include <span>
#include <string>

// root/name emptied (created when missing), with a trailing "/".
std::string FreshScratchFolder(const std::string& name);
// Writes bytes to folder + relative (relative with "/"), creating the folders on the way. False when that is
// impossible, e.g. because a file already has the name of a folder on the way.
bool WriteScratchFile(const std::string& folder, const std::string& relative, std::span<const uint8_t> bytes);
