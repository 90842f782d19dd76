#pragma once
// Numeric option values, checked against their range; a bad one is a usage error that names the option.
#include <string>

#include "CliArgs.h"

// The option's whole number from low to high, or fallback when the option is not given.
int WholeNumberOption(const CliArgs& cli, const std::string& option, int fallback, int low, int high);
// The option's number from low to high, or fallback when the option is not given.
double NumberOption(const CliArgs& cli, const std::string& option, double fallback, double low, double high);
