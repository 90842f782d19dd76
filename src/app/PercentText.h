#pragma once
// The one way Like, Distance and model scores are shown: tenths of a percent, halves to even.
#include <string>

// 0.873 -> "87.3%", 0.5 -> "50%", 0.0625 -> "6.2%", -1.0 -> "-100%".
std::string PercentText(double value, char decimalSeparator = '.');
