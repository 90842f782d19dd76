#pragma once
// Exact sums of products of 16-bit samples: what the plain loop
//
//     int64_t sum = 0;
//     for (int32_t i = 0; i < count; ++i)
//         sum += x[i] * y[i];
//
// gives, taken eight or sixteen products a step by the processor's 16-bit multiply-add.
#include <cstdint>

// How many steps of products a block may add up in 32 bits when no sample exceeds the largest magnitude in
// samples[0 .. count - 1] (the bound is stated in SampleProducts.cpp).
int32_t GroupsPerBlock(const int16_t* samples, int32_t count);

// The sum of x[i] * y[i] for i < count, for samples within those that groupsPerBlock was taken of.
int64_t ProductSum(const int16_t* x, const int16_t* y, int32_t count, int32_t groupsPerBlock);
