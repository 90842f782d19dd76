#pragma once
// Per column, over a run of rows: what a first look at a stored take needs from its 8-bit codes beside the
// utterance's scores, read in one pass. The integer sums are exact; the cross products are summed in floats,
// kCrossBlockRows rows at a time, and the blocks' sums in doubles.
#include <cstddef>
#include <cstdint>
#include <vector>

// Rows of codes and rows of the utterance's scores (as floats) that meet them, each at its own stride, and
// the columns of both taken in step: column j of the codes goes with column j of the scores.
struct TCodeAndScoreRows {
    const uint8_t* Codes = nullptr;
    size_t CodeStride = 0;
    const float* Scores = nullptr;
    size_t ScoreStride = 0;
    size_t Width = 0;   // columns
    size_t Count = 0;   // rows, at most kMostCompactRows
};

// Σ code² of a column fits 32 bits for up to this many rows.
constexpr size_t kMostCompactRows = 32767;
constexpr size_t kCrossBlockRows = 32;

struct TCompactColumnSums {
    double Cross = 0.0;      // Σ score·code, rounded as below
    int32_t Codes = 0;       // Σ code
    int32_t Squares = 0;     // Σ code²
    int32_t Nonzero = 0;     // codes other than 0
};

// The sums for every column of rows, column by column. Cross differs from the exact sum of the floats'
// products by at most (kCrossBlockRows + 1)·2^-24 of Σ|score|·code (a product rounded once, a block of
// kCrossBlockRows added in floats, the blocks added in doubles), plus 2^-149 per row for products too small
// for a normal float.
std::vector<TCompactColumnSums> SumCompactColumns(const TCodeAndScoreRows& rows);
