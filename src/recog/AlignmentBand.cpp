#include "AlignmentBand.h"

#include <algorithm>
#include <cmath>

TAlignmentBand::TAlignmentBand(size_t n, size_t m, double bandShare) : lastColumn_(m - 1)
{
    // Rows advance the line by slope columns; a band at least that wide stays connected.
    const double longer = static_cast<double>(std::max(n, m));
    const double shorter = static_cast<double>(std::min(n, m));
    halfWidth_ = std::max(std::ceil(bandShare * longer), std::ceil(longer / shorter));
    slope_ = n > 1 ? static_cast<double>(m - 1) / static_cast<double>(n - 1) : 0.0;
}
