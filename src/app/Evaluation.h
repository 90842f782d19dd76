#pragma once
// The speaker-dependent protocol a user lives: for every speaker and vocabulary, takes 1..K of each word are
// saved as command models exactly as "Save as model" does, into a scratch model folder that holds a copy of
// the phoneme set, and every later take is recognized with those models.
#include <string>
#include <vector>

#include "EvalManifest.h"
#include "MatchMode.h"

struct TEvalSettings {
    int EnrolledTakes = 3;            // K
    std::string PhonemeModelsDir;     // the phoneme set under test (its command models are not used)
    TMatchMode Match = TMatchMode::Classic;   // how takes are trimmed and saved, and the later ones matched
};

struct TEvalAnswer {
    TEvalTake Spoken;
    bool Recognized = false;          // false when the utterance gave no result
    std::string Answer;               // the recognized command as a word of the vocabulary (or its model name)
    double Like = 0.0;
    double Distance = 0.0;

    bool Right() const { return Recognized && Answer == Spoken.Word; }
};

struct TEvalRun {
    std::vector<TEvalAnswer> Answers;        // in manifest order within each speaker and vocabulary
    std::vector<TEvalTake> NotEnrolled;      // takes 1..K whose utterance gave no result, so no model
    size_t UnusedTakes = 0;                  // rows numbered below 1
};

// Every file is recognized by a freshly started recognizer, so an answer does not depend on the files before.
TEvalRun RunEvaluation(const std::vector<TEvalTake>& takes, const TEvalSettings& settings);
