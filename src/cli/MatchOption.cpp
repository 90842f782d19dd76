#include "MatchOption.h"

#include <optional>

TMatchMode MatchOption(const CliArgs& cli, TMatchMode fallback)
{
    const std::string value = cli.Value("--match", MatchModeName(fallback));
    const std::optional<TMatchMode> mode = MatchModeNamed(value);
    if (!mode)
        throw CliUsageError("--match needs classic or aligned, not '" + value + "'");
    return *mode;
}
