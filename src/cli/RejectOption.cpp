#include "RejectOption.h"

#include <optional>

const char* const kRejectHelp =
    "  --reject R    whether an utterance that resembles no command well enough is rejected as not a\n"
    "                command: auto (default: with aligned matching only), on, off, or the Like (0..1)\n"
    "                it needs to be taken as a command\n";

TRejection RejectOption(const CliArgs& cli)
{
    const std::string value = cli.Value("--reject", "auto");
    const std::optional<TRejection> rejection = RejectionNamed(value);
    if (!rejection)
        throw CliUsageError("--reject needs auto, on, off or a Like from 0 to 1, not '" + value + "'");
    return *rejection;
}
