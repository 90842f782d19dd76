#pragma once
// The butterfly stages of the radix-2 decimation-in-frequency transform. Analysis halves every butterfly
// (overall scale 1/N) and turns by e^(+i 2 pi t / N); synthesis does not scale and turns by e^(-i 2 pi t / N).
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

// Straightforward stages in place, reading the sine table directly, result in bit-reversed order: the
// reference the fast stages must equal bit for bit.
template <TDirection direction>
void ReferenceStages(double* re, double* im, const double* sinTable, int32_t order);

// Where the fast stages deliver their results: in natural order (bin or point k at index k).
struct TOrderedValues {
    double* re;
    double* im;
};

// The reference analysis of the real values in re (imaginary parts +0): bins 0..N/2-1 into bins and their
// magnitudes sqrt(re^2 + im^2) into magnitudes. The same operations on every value in the same order, except
// that the +0 imaginary inputs are not read and their terms are left out: a zero may come out with the other
// sign, which no magnitude and no sample synthesised from it can tell. re and im are overwritten.
void FastRealAnalysis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, const TOrderedValues& bins,
                      double* magnitudes);
// The same for N samples, which are converted into re on the way.
void FastRealAnalysis(const int16_t* samples, double* re, double* im, const TStageTwiddles& twiddles, int32_t order,
                      const TOrderedValues& bins, double* magnitudes);

// The reference synthesis of re + i im, bit for bit, all N points into points; re and im are overwritten.
void FastSynthesis(double* re, double* im, const TStageTwiddles& twiddles, int32_t order, const TOrderedValues& points);
