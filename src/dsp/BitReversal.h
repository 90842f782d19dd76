#pragma once
// Bit reversal: a radix-2 decimation-in-frequency transform leaves bin k at the position whose index is k
// with its bits in reverse order.
#include <cstdint>

// The low `bits` bits of x in reverse order.
constexpr int32_t BitReversed(int32_t x, int32_t bits)
{
    int32_t reversed = 0;
    for (int32_t bit = 0; bit < bits; ++bit)
        reversed |= ((x >> bit) & 1) << (bits - 1 - bit);
    return reversed;
}

// What follows x when 0 .. count - 1 (count a power of two) are counted in bit-reversed order: a carry that
// runs from the highest bit down.
constexpr int32_t NextBitReversed(int32_t x, int32_t count)
{
    int32_t bit = count / 2;
    while (x & bit) {
        x ^= bit;
        bit /= 2;
    }
    return x | bit;
}
