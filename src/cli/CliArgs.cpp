#include "CliArgs.h"

#include <cstdio>

std::string CliArgs::Value(const std::string& option, const std::string& fallback) const
{
    const auto found = Values.find(option);
    return found == Values.end() ? fallback : found->second;
}

CliArgs ParseCliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions)
{
    CliArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            parsed.Positional.push_back(arg);
        } else if (valueOptions.count(arg)) {
            if (i + 1 >= args.size())
                throw CliUsageError(arg + " needs a value");
            parsed.Values[arg] = args[++i];
        } else if (flagOptions.count(arg)) {
            parsed.Flags.insert(arg);
        } else {
            throw CliUsageError("unknown option " + arg);
        }
    }
    return parsed;
}

bool PrintHelpIfAsked(const CliArgs& cli, const char* help)
{
    if (!cli.Has("--help"))
        return false;
    std::fputs(help, stdout);
    return true;
}
