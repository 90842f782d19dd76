#pragma once
// Magnitude/phase FFT of 16-bit frames and its inverse, with linear resampling for frames of other lengths.
#include <cstdint>
#include <vector>

#include "FftStages.h"

class TFFTObject {
public:
    // order is clamped to 4..16; Size = 2^order points, HalfSize = Size / 2 bins.
    explicit TFFTObject(int32_t order);

    // Forward: X[k] = (1/N) * sum x[n] e^(+i 2 pi k n / N); magnitudes and phases (in [0, 2 pi)) of bins 0..HalfSize-1.
    void Forward(const int16_t* samples, int32_t count, double* magnitudes, double* phases);
    // The same magnitudes without the phases, for analysis frames that never look at them.
    void Forward(const int16_t* samples, int32_t count, double* magnitudes);
    // Phases of bins first..first+count-1 of the last forward transform, into phases[first..].
    void Phases(int32_t first, int32_t count, double* phases) const;
    // Inverse: rebuilds count samples (signed modulus, rounded, clamped to +-32767) from HalfSize bins.
    void Inverse(int16_t* samples, int32_t count, const double* magnitudes, const double* phases);

    int32_t Order() const { return order_; }
    int32_t Size() const { return size_; }
    int32_t HalfSize() const { return size_ / 2; }

private:
    // The reference stages on re_ and im_, the first count results then gathered into natural order.
    template <TDirection direction>
    void ReferenceTransform(int32_t count);

    int32_t order_;
    int32_t size_;
    std::vector<double> sinTable_;
    std::vector<int32_t> bitReverse_;
    TStageTwiddles twiddles_;
    std::vector<double> re_;        // the stages' working values
    std::vector<double> im_;
    std::vector<double> orderedRe_; // the last transform's results in natural order
    std::vector<double> orderedIm_;
    std::vector<int16_t> output_;
};
