#pragma once
// How the command dictionary compares an utterance's trajectory with the stored ones.
#include <optional>
#include <string>

enum class TMatchMode {
    Classic,   // phoneme by phoneme correlation of the whole score series, centres aligned
    Aligned,   // speech rows only, time-aligned score vectors (AlignedLikeness.h)
};

// "classic" or "aligned"; nothing for any other name.
std::optional<TMatchMode> MatchModeNamed(const std::string& name);
const char* MatchModeName(TMatchMode mode);
