#pragma once
// What a command keeps of each recorded take beside its rows: where to read them again, and compact forms a
// first pass over a large vocabulary can bound likenesses from. A take's rows are 64 doubles per 3 ms of speech;
// past a budget the dictionary keeps only these forms and reads the rows again for the few takes that matter.
#include <optional>
#include <string>

#include "CompactScores.h"
#include "FrameAlignment.h"
#include "SovoTypes.h"

struct TTakeForms {
    std::string Path;                       // the .trj file as found on disk
    std::optional<TCompactScores> Rows;     // its scores, row by row (classic matching)
    std::optional<TCompactScores> Frames;   // its speech frames (aligned matching)
    // Its speech frames as they are, while it holds its rows: aligned matching reads them rather than making
    // them again for every utterance.
    std::optional<TFrameSeries> Speech;
};

// The forms of a take whose rows are at hand.
TTakeForms MakeTakeForms(const std::string& path, const TCommandTraj& take);

// Whether a take holds its rows; a take kept in compact form only has its counts, ids and names.
inline bool HoldsRows(const TCommandTraj& take)
{
    return take.Rows.size() == static_cast<size_t>(take.AtomCount);
}

// Gives up a take's rows, keeping its counts, ids and names, and the exact frames of its forms.
void ReleaseRows(TCommandTraj& take, TTakeForms& forms);
