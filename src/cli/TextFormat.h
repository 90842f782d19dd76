#pragma once
// Text forms of strings and numbers for the command-line output.
#include <string>

std::string JsonString(const std::string& text);
// Shortest text that reads back as the same double (JSON and CSV).
std::string ShortestNumber(double value);
