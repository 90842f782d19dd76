#pragma once
// How an evaluation run's answers were judged (Evaluation.h, with unknown words and non-speech clips): per
// speaker and overall, the right answers rejected, the accuracy among the accepted takes of enrolled words, and
// the unknown words and non-speech clips accepted; and for Like and for Distance, how well each tells right
// answers from unknown words and from non-speech (the area under the ROC curve), and what a threshold on it
// would let through where it rejects 1, 2 or 5 % of the right answers.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Evaluation.h"

struct TRejectionCounts {
    std::string Speaker;            // empty in the overall row
    size_t Commands = 0;            // takes of enrolled words
    size_t Right = 0;               // of them answered right, accepted or not
    size_t RightRejected = 0;
    size_t Accepted = 0;            // takes of enrolled words accepted
    size_t AcceptedRight = 0;
    size_t Unknown = 0;
    size_t UnknownAccepted = 0;
    size_t NonSpeech = 0;
    size_t NonSpeechAccepted = 0;
};

// A share of right answers rejected, the threshold that rejects it, and what that threshold accepts.
struct TOperatingPoint {
    double RightRejected = 0.0;
    double Threshold = 0.0;
    double UnknownAccepted = 0.0;
    double NonSpeechAccepted = 0.0;
};

struct TScoreSeparation {
    std::string Score;                       // "Like" or "Distance"
    std::optional<double> UnknownAuc;        // right answers over unknown words
    std::optional<double> NonSpeechAuc;      // right answers over non-speech clips
    std::vector<TOperatingPoint> Points;     // at 1, 2 and 5 % of right answers rejected; none without right answers
};

struct TRejectionSummary {
    std::vector<TRejectionCounts> Speakers;   // in run order
    TRejectionCounts Overall;
    std::vector<TScoreSeparation> Scores;     // Like, then Distance
};

TRejectionSummary SummarizeRejection(const TEvalRun& run);
