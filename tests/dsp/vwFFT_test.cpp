#include "vwFFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "ReferenceArithmetic.h"
#include "VectorWidth.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct TSpectrum {
    std::vector<double> magnitudes;
    std::vector<double> phases;
};

TSpectrum Analyse(TFFTObject& fft, const std::vector<int16_t>& frame)
{
    TSpectrum s{std::vector<double>(fft.HalfSize(), -1.0), std::vector<double>(fft.HalfSize(), -1.0)};
    fft.Forward(frame.data(), static_cast<int32_t>(frame.size()), s.magnitudes.data(), s.phases.data());
    return s;
}

std::vector<int16_t> Synthesise(TFFTObject& fft, const TSpectrum& s, int32_t count)
{
    std::vector<int16_t> out(count, 12345);
    fft.Inverse(out.data(), count, s.magnitudes.data(), s.phases.data());
    return out;
}

std::vector<int16_t> RandomFrame(int32_t count, int amplitude, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-amplitude, amplitude);
    std::vector<int16_t> frame(count);
    for (int16_t& s : frame)
        s = static_cast<int16_t>(dist(rng));
    return frame;
}

// The frame as the transform sees it: linearly stretched or shrunk to size points, computed independently.
std::vector<long double> StretchedFrame(const std::vector<int16_t>& frame, int32_t size)
{
    const auto count = static_cast<int32_t>(frame.size());
    std::vector<long double> points(size);
    for (int32_t i = 0; i < size; ++i) {
        if (count == size) {
            points[i] = frame[i];
            continue;
        }
        const long double x = static_cast<long double>(i) * (count - 1) / (size - 1);
        const auto j = std::min(static_cast<int32_t>(x), count - 2);
        points[i] = frame[j] + (frame[j + 1] - frame[j]) * (x - j);
    }
    return points;
}

// X[k] = (1/N) sum x[n] e^(+i 2 pi k n / N), straight from the definition.
std::complex<long double> PlainDft(const std::vector<long double>& x, int32_t k)
{
    const auto n = static_cast<int32_t>(x.size());
    std::complex<long double> sum = 0;
    for (int32_t i = 0; i < n; ++i) {
        const long double angle = 2 * std::numbers::pi_v<long double> * ((static_cast<int64_t>(k) * i) % n) / n;
        sum += x[i] * std::complex<long double>(std::cos(angle), std::sin(angle));
    }
    return sum / static_cast<long double>(n);
}

TEST(FFT, OrderIsClampedAndSetsTheSizes)
{
    struct Case { int32_t requested, order, size, half; };
    const Case cases[] = {{3, 4, 16, 8}, {-1, 4, 16, 8}, {4, 4, 16, 8}, {10, 10, 1024, 512}, {16, 16, 65536, 32768},
                          {20, 16, 65536, 32768}};
    for (const Case& c : cases) {
        TFFTObject fft(c.requested);
        EXPECT_EQ(fft.Order(), c.order) << c.requested;
        EXPECT_EQ(fft.Size(), c.size) << c.requested;
        EXPECT_EQ(fft.HalfSize(), c.half) << c.requested;
    }
}

TEST(FFT, ForwardAgreesWithThePlainTransformOnRandomFrames)
{
    // Catches sign, scale and read-out order faults, and checks the stretching and shrinking of other lengths.
    TFFTObject fft(10);
    for (const int32_t count : {1024, 512, 1500, 2}) {
        const std::vector<int16_t> frame = RandomFrame(count, 20000, static_cast<unsigned>(count));
        const TSpectrum s = Analyse(fft, frame);
        const std::vector<long double> points = StretchedFrame(frame, fft.Size());
        for (int32_t k = 0; k < fft.HalfSize(); ++k) {
            const std::complex<long double> expected = PlainDft(points, k);
            const std::complex<double> got = std::polar(s.magnitudes[k], s.phases[k]);
            ASSERT_NEAR(got.real(), static_cast<double>(expected.real()), 1e-9) << "count " << count << " bin " << k;
            ASSERT_NEAR(got.imag(), static_cast<double>(expected.imag()), 1e-9) << "count " << count << " bin " << k;
            ASSERT_GE(s.phases[k], 0.0);
            ASSERT_LT(s.phases[k], 2 * kPi);
        }
    }
}

TEST(FFT, ZeroAndConstantFrames)
{
    struct Case { int16_t value; double magnitude, phase; };
    const Case cases[] = {{0, 0.0, 0.0}, {1000, 1000.0, 0.0}, {-1000, 1000.0, kPi}};
    TFFTObject fft(10);
    for (const Case& c : cases) {
        const TSpectrum s = Analyse(fft, std::vector<int16_t>(1024, c.value));
        EXPECT_EQ(s.magnitudes[0], c.magnitude) << c.value;
        EXPECT_DOUBLE_EQ(s.phases[0], c.phase) << c.value;
        for (int32_t k = 1; k < fft.HalfSize(); ++k) {
            ASSERT_EQ(s.magnitudes[k], 0.0) << c.value << " bin " << k;
            ASSERT_EQ(s.phases[k], 0.0) << c.value << " bin " << k;
        }
    }
}

TEST(FFT, SineOnABinHasHalfItsAmplitudeAndPhaseHalfPi)
{
    // Order 4, bin 4 samples the sine exactly; order 10 rounds it to 16 bits, hence the looser bound.
    struct Case { int32_t order, bin; double amplitude, tolerance; };
    const Case cases[] = {{4, 4, 1000.0, 1e-12}, {10, 10, 20000.0, 0.05}, {10, 300, 20000.0, 0.05}};
    for (const Case& c : cases) {
        TFFTObject fft(c.order);
        std::vector<int16_t> frame(fft.Size());
        for (int32_t n = 0; n < fft.Size(); ++n)
            frame[n] = static_cast<int16_t>(std::nearbyint(c.amplitude * std::sin(2 * kPi * c.bin * n / fft.Size())));
        const TSpectrum s = Analyse(fft, frame);
        EXPECT_NEAR(s.magnitudes[c.bin], c.amplitude / 2, c.tolerance * c.amplitude) << c.bin;
        EXPECT_NEAR(s.phases[c.bin], kPi / 2, c.tolerance) << c.bin;
    }
}

TEST(FFT, RoundTripRestoresTheFrameWithoutItsNyquistComponent)
{
    TFFTObject fft(10);
    const std::vector<int16_t> frame = RandomFrame(1024, 20000, 7);
    const std::vector<int16_t> out = Synthesise(fft, Analyse(fft, frame), 1024);
    double nyquist = 0.0;
    for (int32_t n = 0; n < 1024; ++n)
        nyquist += (n % 2 == 0 ? frame[n] : -frame[n]) / 1024.0;
    for (int32_t n = 0; n < 1024; ++n) {
        const double expected = frame[n] - (n % 2 == 0 ? nyquist : -nyquist);
        ASSERT_NEAR(out[n], expected, 1.0) << n;
    }
}

TEST(FFT, AlternatingFrameIsAllNyquistAndVanishes)
{
    TFFTObject fft(10);
    std::vector<int16_t> frame(1024);
    for (int32_t n = 0; n < 1024; ++n)
        frame[n] = n % 2 == 0 ? 5000 : -5000;
    const TSpectrum s = Analyse(fft, frame);
    for (int32_t k = 0; k < fft.HalfSize(); ++k)
        ASSERT_EQ(s.magnitudes[k], 0.0) << k;
    EXPECT_EQ(Synthesise(fft, s, 1024), std::vector<int16_t>(1024, 0));
}

TEST(FFT, InverseClampsToTheSymmetricSixteenBitRange)
{
    // A lone DC bin synthesises a constant of its magnitude, signed by its phase.
    struct Case { double magnitude, phase; int16_t expected; };
    const Case cases[] = {{40000.0, 0.0, 32767}, {40000.0, kPi, -32767}, {32767.4, 0.0, 32767}, {1234.5, 0.0, 1234}};
    TFFTObject fft(4);
    for (const Case& c : cases) {
        TSpectrum s{std::vector<double>(8, 0.0), std::vector<double>(8, 0.0)};
        s.magnitudes[0] = c.magnitude;
        s.phases[0] = c.phase;
        EXPECT_EQ(Synthesise(fft, s, 16), std::vector<int16_t>(16, c.expected)) << c.magnitude << " " << c.phase;
    }
}

TEST(FFT, FastInverseGivesTheReferenceSamplesWithEitherVectorWidth)
{
    // Loud spectra clamp; band-limited ones, as the band filter's, are mostly bins without magnitude; random
    // phases leave imaginary residues and real parts of either sign.
    TFFTObject fft(10);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const double loudness : {300.0, 40000.0}) {
        for (const bool bandLimited : {false, true}) {
            SCOPED_TRACE(testing::Message() << "loudness " << loudness << (bandLimited ? ", band-limited" : ""));
            TSpectrum s{std::vector<double>(512), std::vector<double>(512)};
            for (int32_t k = 0; k < 512; ++k) {
                s.magnitudes[k] = bandLimited && (k < 20 || k > 150) ? 0.0 : loudness * unit(rng);
                s.phases[k] = 2 * kPi * unit(rng);
            }
            std::vector<int16_t> reference;
            {
                const TReferenceArithmetic referenceArithmetic;
                reference = Synthesise(fft, s, 1024);
            }
            for (const bool wide : {true, false}) {
                const TVectorWidth width(wide);
                EXPECT_EQ(Synthesise(fft, s, 1024), reference) << (wide ? "wide vectors allowed" : "wide vectors off");
            }
        }
    }
}

TEST(FFT, InverseResamplesToTheRequestedLengthRoundingTiesToEven)
{
    // 2N - 1 points put every second point halfway between two synthesised samples.
    TFFTObject fft(6);
    const TSpectrum s = Analyse(fft, RandomFrame(64, 10000, 11));
    const std::vector<int16_t> plain = Synthesise(fft, s, 64);
    const std::vector<int16_t> stretched = Synthesise(fft, s, 127);
    for (int32_t i = 0; i < 127; ++i) {
        const double expected = i % 2 == 0 ? plain[i / 2] : std::nearbyint((plain[i / 2] + plain[i / 2 + 1]) / 2.0);
        ASSERT_EQ(stretched[i], expected) << i;
    }
    const std::vector<int16_t> shrunk = Synthesise(fft, s, 2);
    EXPECT_EQ(shrunk, (std::vector<int16_t>{plain.front(), plain.back()}));
}

TEST(FFT, FramesTooShortToInterpolateReadAsConstantOrSilence)
{
    TFFTObject fft(10);
    std::vector<double> magnitudes(512, -1.0), phases(512, -1.0);
    const int16_t one = -700;
    fft.Forward(&one, 1, magnitudes.data(), phases.data());
    EXPECT_EQ(magnitudes[0], 700.0);
    EXPECT_DOUBLE_EQ(phases[0], kPi);
    EXPECT_EQ(magnitudes[1], 0.0);
    fft.Forward(nullptr, 0, magnitudes.data(), phases.data());
    EXPECT_EQ(magnitudes, std::vector<double>(512, 0.0));
}

}  // namespace
