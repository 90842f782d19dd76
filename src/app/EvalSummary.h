#pragma once
// What an evaluation run comes to: top-1 accuracy per speaker and vocabulary, per speaker, per vocabulary and
// overall, with the enrolment takes that gave no result (the words they leave without an example are errors),
// a confusion matrix per vocabulary, how Like and Distance spread over right and wrong answers and how well
// Distance tells them apart.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Evaluation.h"

struct TAccuracy {
    std::string Speaker;   // empty in per-vocabulary and overall rows
    std::string Vocab;     // empty in per-speaker and overall rows
    size_t Right = 0;
    size_t Total = 0;
    size_t NotEnrolled = 0;   // enrolment takes without result

    double Fraction() const { return Total == 0 ? 0.0 : static_cast<double>(Right) / static_cast<double>(Total); }
};

// Counts[i][j]: how often Words[i] was spoken and Answers[j] recognized. Answers lists the words first, then
// any other answer (a command name outside the vocabulary, or kNoResult).
struct TConfusion {
    static constexpr const char* kNoResult = "(no result)";
    std::string Vocab;
    std::vector<std::string> Words;
    std::vector<std::string> Answers;
    std::vector<std::vector<size_t>> Counts;
};

// Mean and quartiles (linear interpolation between ranks); all 0 when Count is 0.
struct TSpread {
    size_t Count = 0;
    double Mean = 0.0;
    double Q1 = 0.0;
    double Median = 0.0;
    double Q3 = 0.0;
};

TSpread SpreadOf(std::vector<double> values);

// How well a value tells the first group from the second: the chance that a member of higher exceeds a member of
// lower, ties counting half (the area under the ROC curve); nothing when either group is empty.
std::optional<double> Separation(const std::vector<double>& higher, const std::vector<double>& lower);

struct TEvalSummary {
    std::vector<TAccuracy> Groups;       // per speaker and vocabulary, in run order
    std::vector<TAccuracy> Speakers;     // per speaker over all vocabularies, in run order
    std::vector<TAccuracy> Vocabularies; // per vocabulary over all speakers
    TAccuracy Overall;
    std::vector<TConfusion> Confusions;  // per vocabulary
    TSpread LikeRight, LikeWrong;        // over answers with a result
    TSpread DistanceRight, DistanceWrong;
    std::optional<double> DistanceSeparation;   // Separation of right answers' Distance from wrong ones'
};

// Over the takes of enrolled words; unknown words and non-speech clips are left to RejectionSummary.h.
TEvalSummary Summarize(const TEvalRun& run);
