#pragma once
// Minimal command-line parsing: options with values, flags and positional arguments.
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

struct CliUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct CliArgs {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;

    bool Has(const std::string& flag) const { return Flags.count(flag) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const;
};

// Prints help to standard output when --help was given; returns whether it did.
bool PrintHelpIfAsked(const CliArgs& cli, const char* help);

// Parses args; options named in valueOptions take the next argument, those in flagOptions stand alone.
// Anything else starting with "--" is a usage error.
CliArgs ParseCliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);
