#pragma once
// The --reject option: whether utterances that resemble no command well enough are rejected.
#include "CliArgs.h"
#include "CommandRejection.h"

extern const char* const kRejectHelp;

// auto when the option is not given; anything but auto, on, off or a Like from 0 to 1 is a usage error.
TRejection RejectOption(const CliArgs& cli);
