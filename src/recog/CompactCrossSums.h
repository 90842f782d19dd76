#pragma once
// Per column, over a run of rows: what a first look at a stored take needs from its 8-bit codes beside the
// utterance's scores held as 16-bit integers, read in one pass. Every sum is an integer and exact, so the AVX2
// loop and the plain one give the same sums.
#include <cstddef>
#include <cstdint>
#include <vector>

// Rows of codes beside the utterance's integer scores, the columns taken in step. The scores come in pairs,
// row i's pair for column j holding the scores of rows i and i + 1 (0 past the last row), so that two rows
// are multiplied and added in one step: Pairs[i·PairStride + 2j] and the next one.
struct TCodeAndScoreRows {
    const uint8_t* Codes = nullptr;
    size_t CodeStride = 0;
    const int16_t* Pairs = nullptr;
    size_t PairStride = 0;
    size_t Width = 0;   // columns
    size_t Count = 0;   // rows, at most kMostCompactRows
};

// Σ code² of a column fits 32 bits for up to this many rows.
constexpr size_t kMostCompactRows = 32767;

struct TCompactColumnSums {
    int64_t Cross = 0;       // Σ score·code
    int32_t Codes = 0;       // Σ code
    int32_t Squares = 0;     // Σ code²
    int32_t Nonzero = 0;     // codes other than 0
};

// The sums for every column of rows, column by column.
std::vector<TCompactColumnSums> SumCompactColumns(const TCodeAndScoreRows& rows);
