#include "MatchMode.h"

std::optional<TMatchMode> MatchModeNamed(const std::string& name)
{
    for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
        if (name == MatchModeName(mode))
            return mode;
    }
    return std::nullopt;
}

const char* MatchModeName(TMatchMode mode)
{
    return mode == TMatchMode::Aligned ? "aligned" : "classic";
}
