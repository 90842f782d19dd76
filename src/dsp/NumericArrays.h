#pragma once
// Dynamic arrays shared by the signal and recognition code.
#include <cstdint>
#include <vector>

using TArrayOfInteger = std::vector<int32_t>;
using TArrayOfDouble = std::vector<double>;
