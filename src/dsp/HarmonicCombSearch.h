#pragma once
// Finds the tone whose harmonic comb correlates best with a target spectrum among many tried tones, with the
// answer that scoring every comb by the plain correlation gives, at a fraction of its cost.
//
// The plain score of a comb sums 512 cells. Here the sums of every harmonic's cells (one to four of them, as
// the next harmonic leaves them) are tabulated once per frame, so that a comb costs one table read per
// harmonic. The terms are the same products as in the plain sums, only added in another order, so the two
// scores differ by a bounded amount: a tone wins outright when no other comes within the bounds; otherwise
// the tones that might still be best are rescored plainly.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "DoublePair.h"
#include "HarmonicComb.h"
#include "NumericArrays.h"

class THarmonicCombSearch {
public:
    using TPlainScore = std::function<double(double tone)>;

    THarmonicCombSearch();

    // Per frame: the envelope that weights the comb cells and the target the comb is correlated with
    // (kBinCount values each, none negative).
    void Prepare(const double* envelope, const double* target);
    // Tries candidate + offset for every candidate in order and every whole offset -reach..reach. Returns the
    // first tone with the highest score (the correlation mapped to 0..1) if that score is above 0.
    std::optional<double> Best(const TArrayOfDouble& candidates, int32_t reach, const TPlainScore& plainScore);

private:
    // The sum of a harmonic's cells and of their squares side by side, so that one addition takes both.
    using TSumPair = double __attribute__((vector_size(16)));
    struct TCombSums {
        TSumPair cells{0.0, 0.0};
        double products = 0.0;   // of the cells with the target
    };
    struct TEstimate {
        double tone;
        double score;
        double slack;   // the plain score lies within score +- slack
    };
    // A table entry: sums over some cells of one harmonic, of the cells, their squares and their products with
    // the target, and a zero, so that four-at-a-time code adds an entry in one step.
    struct alignas(32) TCellSums {
        double cells = 0.0;
        double squares = 0.0;
        double products = 0.0;
        double zero = 0.0;
    };

    void TabulateCentres(int32_t centre, const double* envelope, const double* target);
    bool TrustNoCentre(const TCombSteps& steps) const;
    TCombSums CombSums(double tone) const;
    void EstimateAll();   // estimates_ of tones_ with sums_
    bool AddWholeHarmonics(const TCombSteps& steps, TCombSums& sums) const;
    bool AddNarrowHarmonics(const TCombSteps& steps, TCombSums& sums) const;
    void AddEntries(const int32_t* entries, int32_t count, int32_t withProducts, TCombSums& sums) const;
    void AddHarmonics(double tone, TCombSums& sums) const;

    // Entry centre * 4 + m - 1: the sums over the first m cells of a harmonic at centre. Centre 0 never
    // occurs; its zeros stand for a harmonic that keeps no cell.
    std::vector<TCellSums> cellSums_;
    // The same for harmonics that keep all four cells, by centre, for the common case of tones a comb's
    // width or more apart.
    std::vector<TCellSums> wholeSums_;
    int32_t productCentres_ = 0;   // from this centre on the target is zero under every cell, and the products
    bool wide_ = false;            // four doubles at a time (WideVectors), taken per frame

    double targetSum_ = 0.0;
    double targetSquares_ = 0.0;
    double targetVariance_ = 0.0;   // as the plain correlation computes it
    double targetDeviation_ = 0.0;
    std::vector<double> tones_;   // tried, in order
    std::vector<TCombSums> sums_;
    std::vector<TEstimate> estimates_;
};
