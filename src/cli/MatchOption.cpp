#include "MatchOption.h"

#include <optional>

TMatchMode MatchOption(const CliArgs& cli)
{
    const std::string value = cli.Value("--match", MatchModeName(TMatchMode::Classic));
    const std::optional<TMatchMode> mode = MatchModeNamed(value);
    if (!mode)
        throw CliUsageError("--match needs classic or aligned, not '" + value + "'");
    return *mode;
}
