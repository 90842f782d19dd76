#include "TakeForms.h"

#include <vector>

#include "AlignedLikeness.h"

namespace {

std::vector<const double*> RowsOf(const std::vector<std::vector<double>>& rows)
{
    std::vector<const double*> pointers;
    pointers.reserve(rows.size());
    for (const std::vector<double>& row : rows)
        pointers.push_back(row.data());
    return pointers;
}

std::vector<const double*> RowsOf(const TFrameSeries& frames)
{
    std::vector<const double*> pointers;
    pointers.reserve(frames.Count());
    for (size_t i = 0; i < frames.Count(); ++i)
        pointers.push_back(frames.Frame(i));
    return pointers;
}

}  // namespace

TTakeForms MakeTakeForms(const std::string& path, const TCommandTraj& take)
{
    const auto width = static_cast<size_t>(take.PhonemeCount);
    TFrameSeries speech = StoredSpeechFrames(take);
    return {path, CompactScoresOf(RowsOf(take.Rows), width), CompactScoresOf(RowsOf(speech), width),
            std::move(speech)};
}

void ReleaseRows(TCommandTraj& take, TTakeForms& forms)
{
    take.Rows.clear();
    take.Rows.shrink_to_fit();
    forms.Speech.reset();
}
