#include "vwFFT.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int32_t kMinOrder = 4;
constexpr int32_t kMaxOrder = 16;
constexpr double kMaxSample = 32767.0;   // symmetric range: -32768 is never produced

enum class TDirection { Analysis, Synthesis };

// In-place radix-2 decimation in frequency; the result is left in bit-reversed order.
// Analysis halves every butterfly (overall scale 1/N) and turns by e^(+i 2 pi t / N);
// synthesis does not scale and turns by e^(-i 2 pi t / N).
template <TDirection direction>
void Transform(double* re, double* im, const double* sinTable, int32_t order)
{
    const int32_t size = int32_t{1} << order;
    const int32_t quarter = size / 4;
    int32_t span = size / 2;
    int32_t groups = 1;
    for (int32_t stage = 0; stage < order; ++stage) {
        for (int32_t e = 0; e < groups; ++e) {
            for (int32_t k = 0; k < span; ++k) {
                const int32_t i1 = 2 * e * span + k;
                const int32_t i2 = i1 + span;
                if constexpr (direction == TDirection::Analysis) {
                    const double ar = (re[i1] + re[i2]) / 2;
                    const double ai = (im[i1] + im[i2]) / 2;
                    re[i1] = ar;
                    im[i1] = ai;
                    re[i2] = ar - re[i2];
                    im[i2] = ai - im[i2];
                } else {
                    const double ar = re[i1] + re[i2];
                    const double ai = im[i1] + im[i2];
                    re[i1] = ar;
                    im[i1] = ai;
                    re[i2] = ar - 2 * re[i2];
                    im[i2] = ai - 2 * im[i2];
                }
            }
        }
        if (groups != size / 2) {
            for (int32_t e = 0; e < groups; ++e) {
                for (int32_t g = 1; g < span; ++g) {
                    const int32_t idx = 2 * e * span + span + g;
                    const int32_t t = g * groups;
                    const double wc = sinTable[(t + quarter) & (size - 1)];   // mod size
                    const double ws = sinTable[t];
                    const double r = re[idx];
                    const double i = im[idx];
                    if constexpr (direction == TDirection::Analysis) {
                        re[idx] = r * wc - i * ws;
                        im[idx] = i * wc + r * ws;
                    } else {
                        re[idx] = r * wc + i * ws;
                        im[idx] = i * wc - r * ws;
                    }
                }
            }
        }
        span /= 2;
        groups *= 2;
    }
}

// Point i of a linear interpolation that maps source point 0 to destination point 0 at `ratio` source points per
// destination point.
double InterpolatedPoint(const int16_t* src, int32_t i, double ratio)
{
    const double x = i * ratio;
    const int32_t j = static_cast<int32_t>(x);
    const double f = x - j;
    return src[j] + (src[j + 1] - src[j]) * f;
}

// Stretches or shrinks a frame to the transform size, keeping its first and last samples.
void ResampleToDoubles(const int16_t* src, int32_t srcCount, double* dst, int32_t dstCount)
{
    if (srcCount == dstCount) {
        std::copy(src, src + srcCount, dst);
        return;
    }
    // Too short to interpolate: no samples read as silence, a single one as a constant frame.
    if (srcCount < 2) {
        std::fill(dst, dst + dstCount, srcCount == 1 ? static_cast<double>(src[0]) : 0.0);
        return;
    }
    dst[0] = src[0];
    dst[dstCount - 1] = src[srcCount - 1];
    const double ratio = static_cast<double>(srcCount - 1) / (dstCount - 1);
    for (int32_t i = 1; i < dstCount - 1; ++i)
        dst[i] = InterpolatedPoint(src, i, ratio);
}

// Brings the synthesised frame back to the caller's length, rounding the interpolated points.
void ResampleToSamples(const int16_t* src, int32_t srcCount, int16_t* dst, int32_t dstCount)
{
    if (srcCount == dstCount) {
        std::copy(src, src + srcCount, dst);
        return;
    }
    if (dstCount <= 0)
        return;
    dst[0] = src[0];
    dst[dstCount - 1] = src[srcCount - 1];
    const double ratio = static_cast<double>(srcCount - 1) / (dstCount - 1);
    for (int32_t i = 1; i < dstCount - 1; ++i)
        dst[i] = static_cast<int16_t>(std::nearbyint(InterpolatedPoint(src, i, ratio)));
}

// Angle of re + i*im in [0, 2 pi).
double Phase(double re, double im)
{
    constexpr double pi = std::numbers::pi;
    if (std::fabs(re) > 0) {
        double p = std::atan(im / re);
        if (im < 0 && re > 0)
            p += 2 * pi;
        if (re < 0)
            p += pi;
        return p;
    }
    if (im > 0)
        return pi / 2;
    if (im < 0)
        return 3 * pi / 2;
    return 0.0;
}

}  // namespace

TFFTObject::TFFTObject(int32_t order)
    : order_(std::clamp(order, kMinOrder, kMaxOrder)),
      size_(int32_t{1} << order_),
      sinTable_(size_),
      bitReverse_(size_),
      re_(size_),
      im_(size_),
      output_(size_)
{
    for (int32_t i = 0; i < size_; ++i)
        sinTable_[i] = std::sin(2 * std::numbers::pi * i / size_);
    for (int32_t i = 0; i < size_; ++i) {
        int32_t reversed = 0;
        for (int32_t bit = 0; bit < order_; ++bit) {
            if (i & (int32_t{1} << bit))
                reversed |= int32_t{1} << (order_ - 1 - bit);
        }
        bitReverse_[i] = reversed;
    }
}

void TFFTObject::Forward(const int16_t* samples, int32_t count, double* magnitudes, double* phases)
{
    ResampleToDoubles(samples, count, re_.data(), size_);
    std::fill(im_.begin(), im_.end(), 0.0);
    Transform<TDirection::Analysis>(re_.data(), im_.data(), sinTable_.data(), order_);
    for (int32_t k = 0; k < HalfSize(); ++k) {
        const double re = re_[bitReverse_[k]];
        const double im = im_[bitReverse_[k]];
        magnitudes[k] = std::sqrt(re * re + im * im);
        phases[k] = Phase(re, im);
    }
}

void TFFTObject::Inverse(int16_t* samples, int32_t count, const double* magnitudes, const double* phases)
{
    const int32_t half = HalfSize();
    for (int32_t k = 0; k < half; ++k) {
        re_[k] = magnitudes[k] * std::cos(phases[k]);
        im_[k] = magnitudes[k] * std::sin(phases[k]);
        if (k >= 1) {
            re_[size_ - k] = re_[k];
            im_[size_ - k] = -im_[k];
        }
    }
    re_[half] = 0.0;
    im_[half] = 0.0;
    Transform<TDirection::Synthesis>(re_.data(), im_.data(), sinTable_.data(), order_);
    // The imaginary residue of a real signal is rounding noise; its modulus still counts, signed by the real part.
    for (int32_t n = 0; n < size_; ++n) {
        const double re = re_[bitReverse_[n]];
        const double im = im_[bitReverse_[n]];
        double value;
        if (im != 0) {
            value = std::nearbyint(std::sqrt(re * re + im * im));
            if (re < 0)
                value = -value;
        } else {
            value = std::nearbyint(re);
        }
        output_[n] = static_cast<int16_t>(std::clamp(value, -kMaxSample, kMaxSample));
    }
    ResampleToSamples(output_.data(), size_, samples, count);
}
