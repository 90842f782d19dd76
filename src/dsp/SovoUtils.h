#pragma once
// Main tone (fundamental) of a 512-bin magnitude spectrum by harmonic analysis, and voicing at that tone.
#include <cstdint>

#include "HarmonicCombSearch.h"
#include "NumericArrays.h"
#include "SignalFormat.h"

// The tone estimator keeps its working arrays and candidate list from frame to frame: a frame without energy in
// the lower third of the spectrum works again on the candidates the previous frame left. One estimator per
// recognizer, so recognizers do not disturb each other; a fresh one is the initial state.
class TToneEstimator {
public:
    TToneEstimator();
    // Main tone in Hz; kBinHz when there is no candidate.
    double MainTone(const double* spectrum);

private:
    void FindPeaks();
    void ChooseTone();
    void BuildComb(double frequency);
    double PlainCombScore(double frequency);

    double normalized_[kBinCount] = {};
    double smoothed_[kBinCount] = {};
    double lowBand_[kBinCount] = {};
    double comb_[kBinCount] = {};
    THarmonicCombSearch combSearch_;
    std::vector<int32_t> peakBins_;     // bins taken by peak picking, in the order taken
    std::vector<int32_t> peakGroups_;   // the group of each taken bin
    TArrayOfDouble candidates_;
    TArrayOfDouble candidateWeights_;
    double toneResult_ = 0.0;
};

// Periodicity of count samples at the period of mainTone (Hz): the best correlation with itself about one period
// later, at least 0; 0 when there are too few samples or the tone is not positive.
double Voicing(const int16_t* samples, int32_t count, double mainTone);
