#pragma once
// The recognizer facade: owns the three recognition stages, wires them to one another and to the current
// audio input, and turns the dictionary's scores into one result (command, Like, Distance).
#include <functional>
#include <memory>
#include <string>

#include "BufferObject.h"
#include "CommandRejection.h"
#include "SovoDict.h"
#include "SovoInput.h"
#include "SovoPhon.h"
#include "SovoProc.h"

class TSovoObject {
public:
    using TSovoResultEvent = std::function<void(TSovoObject& sender, const std::string& commandName)>;

    TSovoObject();
    ~TSovoObject();
    TSovoObject(const TSovoObject&) = delete;
    TSovoObject& operator=(const TSovoObject&) = delete;

    // Refers to input (nullptr allowed) and routes its samples to the pre-processor; does not own it.
    void SetInput(TSovoInput* input);
    void Restart();
    // Returns every stage to the state a recognizer just made with the same models, match mode, rejection and
    // handlers has, so that the next utterance is recognized as by a new recognizer, without loading any model.
    void StartFresh();
    // Chooses the matcher and, with it, how an utterance's speech is found: the aligned matcher gets the
    // utterance trimmed against its own floor, the classic one the trim its stored examples were made with.
    void SetMatchMode(TMatchMode mode);
    // Whether an utterance that resembles no command well enough is rejected (CommandRejection.h). Auto, on
    // with aligned matching only, after construction.
    void SetRejection(TRejection rejection);
    void SetOnUtteranceEnd(std::function<void()> proc);
    // Whether the samples given for an utterance are kept, from the restart or end before it up to its end
    // (at most the first minute, all the pre-processor looks at): what was said, sample for sample, for a
    // caller that plays it back or checks it. Off after construction; a long file need not be held whole.
    void KeepUtteranceSamples(bool keep);
    const TBufferObject& UtteranceSamples() const { return utteranceSamples_; }
    // Classifies the pre-processor's atoms; the result arrives through OnResult.
    void RecognizeUtterance();
    void StopInput();

    void InputData(const int16_t* samples, int32_t count);
    void AtomClassified(TTeskPhoneme& sender, const TPhonemeDecision& decision, bool last);
    void TrajectoryReady(TTeskDictionary& sender, const TCommandTraj& traj);

    TSovoInput* Input = nullptr;
    std::unique_ptr<TTeskDictionary> Dictionary;
    std::unique_ptr<TTeskPhoneme> Phoneme;
    std::unique_ptr<TTeskProcessor> Processor;
    TCommandTraj LastTraj;          // own copy of the trajectory last reported; this is what gets scored
    std::string CommandName;
    double Like = 0.0;              // best score 0..1, -1 without command models
    double Distance = 0.0;          // best score minus the next lower positive score
    // Whether the utterance is taken as CommandName. False only when rejection is on and the nearest command
    // resembles it too little: the result then names the nearest command, but nothing is to be done on it.
    bool Accepted = false;
    TSovoResultEvent OnResult;

private:
    void KeepSamples(const int16_t* samples, int32_t count);
    void ForgetKeptSamples();

    TRejection rejection_;
    bool keepSamples_ = false;
    bool utteranceEnded_ = false;   // the next sample starts a new utterance
    TBufferObject utteranceSamples_;
};
