#pragma once
// Model folders are named with a trailing separator wherever files are listed in them.
#include <string>

// dir with a trailing '/' unless it is empty or ends with '/' or '\' already.
std::string WithTrailingSeparator(const std::string& dir);
