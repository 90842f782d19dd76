#pragma once
// Scores held in 8 bits each, for a quick first look at many stored trajectories. Each value is known to within
// its column's step, which is what lets a first pass bound what the exact values would give without reading
// them. A code is 0 only for an exact 0, so a column that is all zeros is known to be so.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct TCompactScores {
    size_t Width = 0;              // values per row
    std::vector<double> Step;      // per column: a value lies within Step of Step × its code
    std::vector<uint8_t> Codes;    // row after row

    size_t Count() const { return Width == 0 ? 0 : Codes.size() / Width; }
    const uint8_t* Row(size_t index) const { return Codes.data() + index * Width; }
    double Value(size_t row, size_t column) const { return Step[column] * Row(row)[column]; }
};

// The rows (each width values) in compact form; nothing when a value is negative or not finite, since such a
// series has no compact form (it is matched in full, always).
std::optional<TCompactScores> CompactScoresOf(const std::vector<const double*>& rows, size_t width);
