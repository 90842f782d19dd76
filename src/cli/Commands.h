#pragma once
// The sub-commands of parlanto-cli. Each returns the process exit code and prints its own --help.
#include <string>
#include <vector>

int RunRecognize(const std::vector<std::string>& args);
int RunAtoms(const std::vector<std::string>& args);
int RunEnroll(const std::vector<std::string>& args);
int RunEval(const std::vector<std::string>& args);
int RunPhonemes(const std::vector<std::string>& args);
int RunListen(const std::vector<std::string>& args);
