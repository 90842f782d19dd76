#pragma once
// The butterfly stages of the radix-2 decimation-in-frequency transform, in place, result in bit-reversed order.
// Analysis halves every butterfly (overall scale 1/N) and turns by e^(+i 2 pi t / N); synthesis does not scale
// and turns by e^(-i 2 pi t / N).
#include <cstdint>
#include <vector>

enum class TDirection { Analysis, Synthesis };

// Twiddle factors in the order the stages read them: for each stage with span d and c groups, the cosines and
// sines of the angles 2 pi g c / N for g = 0..d-1, taken from the sine table (the cosine a quarter period ahead).
struct TStageTwiddles {
    std::vector<double> cos;
    std::vector<double> sin;
};
TStageTwiddles MakeStageTwiddles(const std::vector<double>& sinTable, int32_t order);

// Straightforward stages reading the sine table directly: the reference the fast stages must equal bit for bit.
template <TDirection direction>
void ReferenceStages(double* re, double* im, const double* sinTable, int32_t order);

// The same operations on every element in the same order, with contiguous twiddles and each butterfly's
// rotation done while its values are at hand.
template <TDirection direction>
void FastStages(double* re, double* im, const TStageTwiddles& twiddles, int32_t order);

// FastStages of an analysis of real values, computing only the even positions, which hold bins 0..N/2-1: all
// that a forward transform delivers. The imaginary parts are taken as +0 and are not read (they need not be
// set). The values are those of FastStages, except that a zero may come out with the other sign, which no
// magnitude and no sample synthesised from them can tell.
void FastRealAnalysis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order);
