#pragma once
// The speaker-dependent protocol a user lives: for every speaker and vocabulary, takes 1..K of each word are
// saved as command models exactly as "Save as model" does, into a scratch model folder that holds a copy of
// the phoneme set, and every later take is recognized with those models.
//
// To measure rejection, only every other word of a vocabulary (in order of first appearance) is enrolled:
// the later takes of the other words are spoken as unknown words, and clips of sounds that are no speech are
// played to the same models.
#include <string>
#include <vector>

#include "CommandRejection.h"
#include "EvalManifest.h"
#include "MatchMode.h"

struct TEvalSettings {
    int EnrolledTakes = 3;            // K
    std::string PhonemeModelsDir;     // the phoneme set under test (its command models are not used)
    TMatchMode Match = TMatchMode::Classic;   // how takes are trimmed and saved, and the later ones matched
    TRejection Rejection;             // how each answer is judged (TEvalAnswer::Accepted)
    bool UnknownWords = false;        // every other word enrolled, the others spoken as unknown words
    std::vector<std::string> NonSpeech;   // WAV files played to every speaker and vocabulary's models
};

// What a recognized file was: a take of an enrolled word, of a word not enrolled, or a sound that is no speech.
enum class TSpokenKind { Command, UnknownWord, NonSpeech };

struct TEvalAnswer {
    TEvalTake Spoken;                 // a non-speech clip: its path, with the speaker and vocabulary it met
    TSpokenKind Kind = TSpokenKind::Command;
    bool Recognized = false;          // false when the utterance gave no result
    std::string Answer;               // the recognized command as a word of the vocabulary (or its model name)
    double Like = 0.0;
    double Distance = 0.0;
    bool Accepted = false;            // taken as the answer, not rejected as no command

    bool Right() const { return Recognized && Answer == Spoken.Word; }
};

struct TEvalRun {
    std::vector<TEvalAnswer> Answers;        // in manifest order within each speaker and vocabulary, then the
                                             // non-speech clips
    std::vector<TEvalTake> NotEnrolled;      // takes 1..K whose utterance gave no result, so no model
    size_t UnusedTakes = 0;                  // rows numbered below 1
};

// Every file is recognized by a freshly started recognizer, so an answer does not depend on the files before.
TEvalRun RunEvaluation(const std::vector<TEvalTake>& takes, const TEvalSettings& settings);
