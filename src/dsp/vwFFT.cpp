#include "vwFFT.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ArithmeticPath.h"
#include "BitReversal.h"
#include "NearestInteger.h"
#include "WideVectors.h"

namespace {

constexpr int32_t kMinOrder = 4;
constexpr int32_t kMaxOrder = 16;
constexpr double kMaxSample = 32767.0;   // symmetric range: -32768 is never produced

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

// Whole numbers within the 16-bit range as samples, lane by lane.
inline void StoreSamples(int16_t* at, double values)
{
    *at = static_cast<int16_t>(values);
}

typedef int32_t TIntPair __attribute__((vector_size(8)));
typedef int16_t TSamplePair __attribute__((vector_size(4), __may_alias__, aligned(2)));

inline void StoreSamples(int16_t* at, TDoublePairValue values)
{
    *reinterpret_cast<TSamplePair*>(at) = __builtin_convertvector(__builtin_convertvector(values, TIntPair), TSamplePair);
}

typedef int32_t TIntQuad __attribute__((vector_size(16)));
typedef int16_t TSampleQuad __attribute__((vector_size(8), __may_alias__, aligned(2)));

PARLANTO_LANES_INLINE void StoreSamples(int16_t* at, TDoubleQuad values)
{
    *reinterpret_cast<TSampleQuad*>(at) = __builtin_convertvector(__builtin_convertvector(values, TIntQuad), TSampleQuad);
}

// The synthesised points as samples, T lanes at a time: the imaginary residue of a real signal is rounding
// noise, but where it is left its modulus still counts, signed by the real part; clamped to the symmetric
// 16-bit range. The reference rounds with the library, the fast path without a call: NearestInteger differs
// from nearbyint only in the sign of a zero and from 2^51 on, where the clamp makes the same sample of either.
template <bool fast, class T>
PARLANTO_LANES_INLINE void PointsToSamples(const double* re, const double* im, int16_t* samples, int32_t count)
{
    const auto rounded = [](T x) {
        if constexpr (fast)
            return NearestInteger(x);
        else
            return std::nearbyint(x);
    };
    for (int32_t n = 0; n < count; n += kLanes<T>) {
        const T r = LoadLanes(re + n, T{});
        const T i = LoadLanes(im + n, T{});
        const T modulus = rounded(SqrtLanes(r * r + i * i));
        const T value = i != 0 ? (r < 0 ? -modulus : modulus) : rounded(r);
        StoreSamples(samples + n, value < -kMaxSample ? -kMaxSample : (kMaxSample < value ? kMaxSample : value));
    }
}

void PairPointsToSamples(const double* re, const double* im, int16_t* samples, int32_t count)
{
    PointsToSamples<true, TDoublePairValue>(re, im, samples, count);
}

PARLANTO_WIDE_TARGET void QuadPointsToSamples(const double* re, const double* im, int16_t* samples, int32_t count)
{
    PointsToSamples<true, TDoubleQuad>(re, im, samples, count);
}

}  // namespace

TFFTObject::TFFTObject(int32_t order)
    : order_(std::clamp(order, kMinOrder, kMaxOrder)),
      size_(int32_t{1} << order_),
      sinTable_(size_),
      bitReverse_(size_),
      re_(size_),
      im_(size_),
      orderedRe_(size_),
      orderedIm_(size_),
      output_(size_)
{
    for (int32_t i = 0; i < size_; ++i)
        sinTable_[i] = std::sin(2 * std::numbers::pi * i / size_);
    for (int32_t i = 0; i < size_; ++i)
        bitReverse_[i] = BitReversed(i, order_);
    twiddles_ = MakeStageTwiddles(sinTable_, order_);
}

template <TDirection direction>
void TFFTObject::ReferenceTransform(int32_t count)
{
    ReferenceStages<direction>(re_.data(), im_.data(), sinTable_.data(), order_);
    for (int32_t k = 0; k < count; ++k) {
        orderedRe_[k] = re_[bitReverse_[k]];
        orderedIm_[k] = im_[bitReverse_[k]];
    }
}

void TFFTObject::Forward(const int16_t* samples, int32_t count, double* magnitudes, double* phases)
{
    Forward(samples, count, magnitudes);
    Phases(0, HalfSize(), phases);
}

void TFFTObject::Forward(const int16_t* samples, int32_t count, double* magnitudes)
{
    const int32_t half = HalfSize();
    if (ArithmeticPath() == TArithmeticPath::Fast) {
        const TOrderedValues bins{orderedRe_.data(), orderedIm_.data()};
        // A frame of the transform's length goes in as it is, converted with the stages' vectors.
        if (count == size_) {
            FastRealAnalysis(samples, re_.data(), im_.data(), twiddles_, order_, bins, magnitudes);
        } else {
            ResampleToDoubles(samples, count, re_.data(), size_);
            FastRealAnalysis(re_.data(), im_.data(), twiddles_, order_, bins, magnitudes);
        }
        return;
    }
    ResampleToDoubles(samples, count, re_.data(), size_);
    std::fill(im_.begin(), im_.end(), 0.0);
    ReferenceTransform<TDirection::Analysis>(half);
    for (int32_t k = 0; k < half; ++k)
        magnitudes[k] = std::sqrt(orderedRe_[k] * orderedRe_[k] + orderedIm_[k] * orderedIm_[k]);
}

void TFFTObject::Phases(int32_t first, int32_t count, double* phases) const
{
    for (int32_t k = first; k < first + count; ++k)
        phases[k] = Phase(orderedRe_[k], orderedIm_[k]);
}

void TFFTObject::Inverse(int16_t* samples, int32_t count, const double* magnitudes, const double* phases)
{
    const int32_t half = HalfSize();
    // A bin without magnitude is zero whatever its phase (up to the sign of the zero, which no later step can
    // tell), so the fast path skips its cosine and sine: band-limited spectra are mostly such bins.
    const bool fast = ArithmeticPath() == TArithmeticPath::Fast;
    for (int32_t k = 0; k < half; ++k) {
        if (fast && magnitudes[k] == 0) {
            re_[k] = 0.0;
            im_[k] = 0.0;
        } else {
            re_[k] = magnitudes[k] * std::cos(phases[k]);
            im_[k] = magnitudes[k] * std::sin(phases[k]);
        }
    }
    // The conjugate mirror, in a loop of its own that vectorises.
    for (int32_t k = 1; k < half; ++k) {
        re_[size_ - k] = re_[k];
        im_[size_ - k] = -im_[k];
    }
    re_[half] = 0.0;
    im_[half] = 0.0;
    if (fast) {
        FastSynthesis(re_.data(), im_.data(), twiddles_, order_, {orderedRe_.data(), orderedIm_.data()});
        ByVectorWidth(QuadPointsToSamples, PairPointsToSamples, orderedRe_.data(), orderedIm_.data(), output_.data(),
                      size_);
    } else {
        ReferenceTransform<TDirection::Synthesis>(size_);
        PointsToSamples<false, double>(orderedRe_.data(), orderedIm_.data(), output_.data(), size_);
    }
    ResampleToSamples(output_.data(), size_, samples, count);
}
