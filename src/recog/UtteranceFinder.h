#pragma once
// Finds utterances in a running stream of samples, judged against the stream's running noise floor: an
// utterance begins when frames stay well above the floor for a moment, goes on while they stay somewhat above
// it, and ends after a hangover of frames that do not; what is too short (a click, a knock) or too long
// (music, a conversation) is dropped. Positions are sample indices from the start of the stream.
//
// The finder says what it decides as it goes, so that its owner can analyse an utterance while it is spoken
// and recognize it the moment it ends: OnBegin, then OnGrow as the utterance's samples become certain, then
// OnEnd or OnDrop.
#include <cstdint>
#include <functional>

#include "RunningFloor.h"

struct TFinderRule {
    int32_t FrameSamples = 256;     // about 12 ms at 22050 Hz
    double FloorSeconds = 3.0;      // the floor is a low percentile of the frame levels of this long
    double FloorShare = 0.15;
    double WarmUpSeconds = 0.25;    // no utterance begins before the floor has been heard this long
    double QuietestSpeechDb = 18.0; // frames below this level (an RMS of 8 steps) are never speech
    double OnsetDb = 10.0;          // an utterance begins with frames this far above the floor ...
    double OnsetSeconds = 0.035;    // ... one after the other for this long;
    double HoldDb = 6.0;            // it goes on while frames are this far above the floor,
    double WeakOnsetSeconds = 0.3;  // (such frames just before the onset, up to this long, belong to it)
    double HangoverSeconds = 0.22;  // and ends when none has been for this long: longer than most closures
                                    // of a stop inside a word, short enough to act within 0.3 s of its end.
    double LeadSeconds = 0.25;      // room sound kept before and after the speech for the recognizer, which
    double TrailSeconds = 0.22;     // finds the speech against the utterance's own floor (no more than the
                                    // hangover, which has heard it already)
    double ShortestSeconds = 0.06;  // speech shorter than this is dropped: a click; a short word's vowel
                                    // may be hardly longer
    double LongestSeconds = 4.0;    // an utterance that goes on longer is dropped, and the sound that goes
                                    // on with it ignored until the room is quiet again
};

struct TFoundSpeech {
    int64_t Start = 0;          // the utterance the recognizer gets: the speech with lead and trail
    int64_t End = 0;
    int64_t SpeechStart = 0;    // the frames found above the floor
    int64_t SpeechEnd = 0;
};

class TUtteranceFinder {
public:
    explicit TUtteranceFinder(const TFinderRule& rule = {}, int32_t sampleRate = 22050);

    void AddSamples(const int16_t* samples, int32_t count);
    // The stream has ended: an utterance in progress ends as though the room had gone quiet.
    void Finish();
    // Forgets an utterance in progress without a word; the floor stays.
    void Reset();
    // Samples seen so far.
    int64_t Position() const { return position_; }
    double Floor() const { return floor_.Floor(); }
    // How far before the newest sample an utterance may begin: what an owner keeps of the stream.
    int64_t LongestLookBack() const;

    std::function<void(int64_t start)> OnBegin;         // samples from start on may belong to an utterance
    std::function<void(int64_t end)> OnGrow;            // the utterance's samples reach at least this far
    std::function<void(const TFoundSpeech&)> OnEnd;
    std::function<void()> OnDrop;                       // what began was no utterance

private:
    enum class TState { Quiet, Speech, TooLong };

    void AddFrame(double level);
    void Begin();
    void Grow();
    void End();
    int64_t FrameStart(int64_t frame) const { return frame * rule_.FrameSamples; }
    int64_t Frames(double seconds) const;
    int64_t Samples(double seconds) const;

    TFinderRule rule_;
    int32_t sampleRate_;
    TRunningFloor floor_;
    int64_t position_ = 0;
    int64_t frame_ = 0;             // frames completed
    double squares_ = 0.0;          // of the frame in progress
    int32_t inFrame_ = 0;
    double lastInput_ = 0.0;        // the high-pass filter's state
    double lastOutput_ = 0.0;

    TState state_ = TState::Quiet;
    int64_t onsetRun_ = 0;          // frames above the onset level, one after the other
    int64_t holdRunStart_ = 0;      // first of the frames above the hold level that lead up to now
    int64_t speechStart_ = 0;       // first frame of the speech
    int64_t lastLoud_ = 0;          // last frame above the hold level
    int64_t start_ = 0;             // first sample of the utterance
    int64_t grown_ = 0;             // samples announced by OnGrow
};
