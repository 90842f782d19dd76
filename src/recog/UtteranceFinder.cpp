#include "UtteranceFinder.h"

#include <algorithm>
#include <cmath>

namespace {

// The frame levels are taken after a high-pass at about 100 Hz: hum and rumble carry no speech, and left in
// they would hide a soft word under a floor they raise.
constexpr double kHighPassPole = 0.97;
// Digital silence has no level in decibels; it counts as a mean square of 1.
constexpr double kLeastMeanSquare = 1.0;

}  // namespace

TUtteranceFinder::TUtteranceFinder(const TFinderRule& rule, int32_t sampleRate)
    : rule_(rule), sampleRate_(sampleRate), floor_(static_cast<size_t>(Frames(rule.FloorSeconds)), rule.FloorShare)
{
}

int64_t TUtteranceFinder::Frames(double seconds) const
{
    return std::max<int64_t>(1, std::llround(seconds * sampleRate_ / rule_.FrameSamples));
}

int64_t TUtteranceFinder::Samples(double seconds) const
{
    return std::llround(seconds * sampleRate_);
}

int64_t TUtteranceFinder::LongestLookBack() const
{
    return Samples(rule_.LeadSeconds) + FrameStart(Frames(rule_.WeakOnsetSeconds) + Frames(rule_.OnsetSeconds) + 1);
}

void TUtteranceFinder::AddSamples(const int16_t* samples, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        const double input = samples[i];
        lastOutput_ = input - lastInput_ + kHighPassPole * lastOutput_;
        lastInput_ = input;
        squares_ += lastOutput_ * lastOutput_;
        ++position_;
        if (++inFrame_ == rule_.FrameSamples) {
            AddFrame(10.0 * std::log10(std::max(squares_ / rule_.FrameSamples, kLeastMeanSquare)));
            squares_ = 0.0;
            inFrame_ = 0;
        }
    }
}

void TUtteranceFinder::AddFrame(double level)
{
    // Each frame is judged against the floor of the frames before it.
    const bool heard = floor_.Frames() >= static_cast<size_t>(Frames(rule_.WarmUpSeconds)) &&
                       level >= rule_.QuietestSpeechDb;
    const bool loud = heard && level > floor_.Floor() + rule_.OnsetDb;
    const bool held = heard && level > floor_.Floor() + rule_.HoldDb;
    floor_.Add(level);
    const int64_t frame = frame_++;
    if (!held)
        holdRunStart_ = frame + 1;

    switch (state_) {
    case TState::Quiet:
        onsetRun_ = loud ? onsetRun_ + 1 : 0;
        if (onsetRun_ >= Frames(rule_.OnsetSeconds))
            Begin();
        break;
    case TState::Speech:
        if (held)
            lastLoud_ = frame;
        if (frame - lastLoud_ >= Frames(rule_.HangoverSeconds)) {
            End();
        } else if (position_ - FrameStart(speechStart_) > Samples(rule_.LongestSeconds)) {
            state_ = TState::TooLong;
            if (OnDrop)
                OnDrop();
        } else {
            Grow();
        }
        break;
    case TState::TooLong:
        if (held)
            lastLoud_ = frame;
        if (frame - lastLoud_ >= Frames(rule_.HangoverSeconds))
            Reset();
        break;
    }
}

void TUtteranceFinder::Begin()
{
    const int64_t frame = frame_ - 1;
    const int64_t onsetFirst = frame - onsetRun_ + 1;
    speechStart_ = std::max(holdRunStart_, onsetFirst - Frames(rule_.WeakOnsetSeconds));
    lastLoud_ = frame;
    state_ = TState::Speech;
    start_ = std::max<int64_t>(0, FrameStart(speechStart_) - Samples(rule_.LeadSeconds));
    grown_ = start_;
    if (OnBegin)
        OnBegin(start_);
    Grow();
}

void TUtteranceFinder::Grow()
{
    const int64_t end = std::min(position_, FrameStart(lastLoud_ + 1) + Samples(rule_.TrailSeconds));
    if (end <= grown_)
        return;
    grown_ = end;
    if (OnGrow)
        OnGrow(end);
}

void TUtteranceFinder::End()
{
    TFoundSpeech found;
    found.Start = start_;
    found.SpeechStart = FrameStart(speechStart_);
    found.SpeechEnd = FrameStart(lastLoud_ + 1);
    found.End = std::min(position_, found.SpeechEnd + Samples(rule_.TrailSeconds));
    Reset();
    if (found.SpeechEnd - found.SpeechStart < Samples(rule_.ShortestSeconds)) {
        if (OnDrop)
            OnDrop();
    } else if (OnEnd) {
        OnEnd(found);
    }
}

void TUtteranceFinder::Finish()
{
    if (state_ == TState::Speech)
        End();
    Reset();
}

void TUtteranceFinder::Reset()
{
    state_ = TState::Quiet;
    onsetRun_ = 0;
}
