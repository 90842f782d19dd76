#pragma once
// Hands-free listening: finds utterances in a running stream of samples and has the facade recognize each
// the moment it ends, exactly as a push-to-talk utterance: the facade's owner gets the result through
// OnResult and the atoms in its pre-processor. An utterance is analysed while it is spoken, so that at its
// end only the last hops and the matching remain; a quiet room costs only the finder's frame levels.
#include <cstdint>

#include "BufferObject.h"
#include "UtteranceFinder.h"

class TSovoObject;

class THandsFreeListener {
public:
    // sovo: the facade with its models loaded and its utterance end wired to RecognizeUtterance.
    explicit THandsFreeListener(TSovoObject& sovo, const TFinderRule& rule = {}, int32_t sampleRate = 22050);

    // The next samples of the stream.
    void AddSamples(const int16_t* samples, int32_t count);
    // The stream has ended: an utterance in progress is recognized as it stands.
    void Finish();
    // Drops an utterance in progress and empties the facade's pre-processor, which is about to serve
    // something else (a push-to-talk recording); the room's floor is kept.
    void Reset();

    // Where the speech of the utterance last handed to the facade lies in the stream, in seconds; set before
    // its recognition starts, so that OnResult can read it.
    double SpeechStart() const { return speechStart_; }
    double SpeechEnd() const { return speechEnd_; }
    double StreamSeconds() const;

private:
    void Begin(int64_t start);
    void Feed(int64_t end);
    void End(const TFoundSpeech& found);
    void Drop();
    void ForgetOldSamples();

    TSovoObject& sovo_;
    int32_t sampleRate_;
    TUtteranceFinder finder_;
    TBufferObject kept_;            // the latest samples of the stream, from keptStart_ on
    int64_t keptStart_ = 0;
    bool active_ = false;           // an utterance is being handed to the facade
    int64_t fed_ = 0;               // the stream's samples before this one are with the facade
    double speechStart_ = 0.0;
    double speechEnd_ = 0.0;
};
