#pragma once
// Finds the tone whose harmonic comb correlates best with a target spectrum among many tried tones, with the
// answer that scoring every comb by the plain correlation gives, at a fraction of its cost.
//
// The plain search (TToneEstimator::ChooseTone on the reference path) builds each tone's comb (BuildComb:
// weights 0.2 1 1 0.2 on the bins centre-1 .. centre+2 of every harmonic, centre = trunc(h * tone / kBinHz), a
// later harmonic overwriting the cells it shares, times the envelope) and correlates it with the target over
// all kBinCount bins, which takes the comb's sum, its sum of squares and its sum of products with the target.
// Here those three sums come from tables, made once per frame, of the sums over the first one to four cells of a
// harmonic at each centre, one table read per harmonic, in one of three ways:
//   - whole harmonics, for tones a comb's width (four bins) or more apart: every harmonic keeps its four cells,
//     and its entry is found by its centre alone;
//   - narrow harmonics, one to four bins apart: a harmonic keeps the cells below the next one's first cell, the
//     last all four;
//   - exact centres, for the rest (tones below one bin, and tones with a harmonic so near a whole bin that the
//     fixed-point centres of HarmonicComb.h cannot decide): the plain centres (CombCentres), then as narrow.
// Each gives the plain sums' terms, only added in another order, so the scores differ from the plain ones by a
// bounded amount: a tone wins outright when no other comes within the bounds; otherwise the tones that might
// still be best are rescored plainly.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "HarmonicComb.h"
#include "NumericArrays.h"

class THarmonicCombSearch {
public:
    using TPlainScore = std::function<double(double tone)>;

    // A table entry: sums over some cells of one harmonic, of the cells, their squares and their products with
    // the target, and a zero, so that four-at-a-time code adds an entry in one step.
    struct alignas(32) TCellSums {
        double cells = 0.0;
        double squares = 0.0;
        double products = 0.0;
        double zero = 0.0;
    };
    struct TTables {
        // Entry centre * 4 + m - 1: the sums over the first m cells of a harmonic at centre. Centre 0 never
        // occurs; its zeros stand for a harmonic that keeps no cell.
        std::vector<TCellSums> cells;
        // The four-cell entries again, by centre, for whole harmonics.
        std::vector<TCellSums> whole;
    };

    THarmonicCombSearch();

    // Per frame: the envelope that weights the comb cells and the target the comb is correlated with
    // (kBinCount values each, none negative).
    void Prepare(const double* envelope, const double* target);
    // Tries candidate + offset for every candidate in order and every whole offset -reach..reach. Returns the
    // first tone with the highest score (the correlation mapped to 0..1) if that score is above 0.
    std::optional<double> Best(const TArrayOfDouble& candidates, int32_t reach, const TPlainScore& plainScore);

private:
    struct TEstimate {
        double tone;
        double score;
        double slack;   // the plain score lies within score +- slack
    };

    TTables tables_;
    double targetSum_ = 0.0;
    double targetVariance_ = 0.0;   // as the plain correlation computes it
    double targetDeviation_ = 0.0;
    std::vector<double> tones_;   // tried, in order
    std::vector<TCellSums> sums_;
    std::vector<TEstimate> estimates_;
};
