#pragma once
// The --match option: how command models are matched with an utterance.
#include "CliArgs.h"
#include "MatchMode.h"

// fallback when the option is not given: aligned, which copes with the silence and room noise a recording
// holds before and after the word; classic stays one option away. Any name but classic or aligned is a usage
// error.
TMatchMode MatchOption(const CliArgs& cli, TMatchMode fallback = TMatchMode::Aligned);
