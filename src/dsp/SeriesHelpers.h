#pragma once
// Sorting, correlation and activity helpers shared by the tone estimator, the integrator and command matching.
#include <cstdint>

#include "NumericArrays.h"

void SortDoubles(TArrayOfDouble& values);   // ascending selection sort, in place
// Pearson correlation over the centred overlap of two series of possibly different lengths; 0 without variance.
double Correlate(const double* a, int32_t lengthA, const double* b, int32_t lengthB);
double MeanAbsDiff64(const int16_t* samples);   // 63 absolute steps of one hop, divided by 64
// The largest of values[from..to-1] and 0, for values that are no NaN and no -0. With lanes, four running
// maxima side by side, so that the comparisons do not wait for each other: for such values any order of taking
// maxima gives the same number.
double LargestOf(const double* values, int32_t from, int32_t to, bool lanes);
