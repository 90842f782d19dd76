#include "HandsFreeListener.h"

#include <algorithm>

#include "Sovo.h"

THandsFreeListener::THandsFreeListener(TSovoObject& sovo, const TFinderRule& rule, int32_t sampleRate)
    : sovo_(sovo), sampleRate_(sampleRate), finder_(rule, sampleRate)
{
    finder_.OnBegin = [this](int64_t start) { Begin(start); };
    finder_.OnGrow = [this](int64_t end) { Feed(end); };
    finder_.OnEnd = [this](const TFoundSpeech& found) { End(found); };
    finder_.OnDrop = [this] { Drop(); };
}

double THandsFreeListener::StreamSeconds() const
{
    return static_cast<double>(finder_.Position()) / sampleRate_;
}

void THandsFreeListener::AddSamples(const int16_t* samples, int32_t count)
{
    if (samples == nullptr || count <= 0)
        return;
    // The finder looks back into what it has been given; those samples must be here when it does.
    kept_.Append(samples, count);
    finder_.AddSamples(samples, count);
    ForgetOldSamples();
}

void THandsFreeListener::Finish()
{
    finder_.Finish();
}

void THandsFreeListener::Reset()
{
    finder_.Reset();
    if (active_)
        Drop();
}

void THandsFreeListener::Begin(int64_t start)
{
    sovo_.Restart();
    active_ = true;
    fed_ = std::max(start, keptStart_);
}

void THandsFreeListener::Feed(int64_t end)
{
    if (end <= fed_)
        return;
    sovo_.InputData(kept_.Data() + (fed_ - keptStart_), static_cast<int32_t>(end - fed_));
    fed_ = end;
}

void THandsFreeListener::End(const TFoundSpeech& found)
{
    Feed(found.End);
    active_ = false;
    speechStart_ = static_cast<double>(found.SpeechStart) / sampleRate_;
    speechEnd_ = static_cast<double>(found.SpeechEnd) / sampleRate_;
    sovo_.InputData(nullptr, 0);
}

void THandsFreeListener::Drop()
{
    active_ = false;
    sovo_.Restart();
}

void THandsFreeListener::ForgetOldSamples()
{
    const int64_t position = finder_.Position();
    int64_t keepFrom = position - finder_.LongestLookBack();
    if (active_)
        keepFrom = std::min(keepFrom, fed_);
    if (keepFrom <= keptStart_)
        return;
    kept_.Delete(static_cast<int32_t>(keepFrom - keptStart_));
    keptStart_ = keepFrom;
}
