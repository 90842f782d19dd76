#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

#include "SovoUtils.h"
#include "vwFFT.h"

namespace {

std::vector<double> SpectrumWith(std::initializer_list<std::pair<int, double>> bins)
{
    std::vector<double> spectrum(kBinCount, 0.0);
    for (const auto& [bin, value] : bins)
        spectrum[bin] = value;
    return spectrum;
}

double FirstTone(const std::vector<double>& spectrum)
{
    TToneEstimator estimator;
    return estimator.MainTone(spectrum.data());
}

TEST(MainTone, WithoutCandidatesIsOneBin)
{
    EXPECT_EQ(FirstTone(SpectrumWith({})), kBinHz);
    EXPECT_EQ(FirstTone(SpectrumWith({{200, 1.0}})), kBinHz);   // above the lower third: no peaks there
    EXPECT_EQ(FirstTone(SpectrumWith({{1, 5.0}})), kBinHz);     // DC neighbour: never a peak
}

TEST(MainTone, OnePeakIsItsBinFrequency)
{
    struct Case { std::vector<double> spectrum; double tone; };
    const Case cases[] = {
        {SpectrumWith({{10, 1.0}}), 215.33203125},
        {SpectrumWith({{2, 3.7}}), 2 * kBinHz},
        {SpectrumWith({{169, 0.2}}), 169 * kBinHz},
        {SpectrumWith({{10, 1.0}, {11, 1.0}}), 10.5 * kBinHz},   // neighbouring bins are one peak
        {SpectrumWith({{50, 2.0}, {51, 2.0}}), 50.5 * kBinHz},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstTone(c.spectrum), c.tone);
}

TEST(MainTone, HarmonicPairCollapsesToOneCandidateRefinedInWholeHertz)
{
    // Peaks at 215.3 Hz and 430.7 Hz: the lowest peak and the spacing agree, and only the refinement moves it.
    const double tone = FirstTone(SpectrumWith({{10, 1.0}, {20, 1.0}}));
    const double offset = tone - 10 * kBinHz;
    EXPECT_LE(std::fabs(offset), 22.0);
    EXPECT_EQ(offset, std::round(offset));
}

TEST(MainTone, FindsTheFundamentalOfAHarmonicSeries)
{
    TFFTObject fft(10);
    for (const double f0 : {100.0, 150.0, 220.0}) {
        std::vector<int16_t> frame(1024);
        for (int n = 0; n < 1024; ++n) {
            double v = 0.0;
            for (int h = 1; h * f0 < 4000; ++h)
                v += std::sin(2 * std::numbers::pi * h * f0 * n / 22050) / h;
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / 1024);
            frame[n] = static_cast<int16_t>(std::nearbyint(3000 * v * hann));
        }
        std::vector<double> magnitudes(512), phases(512);
        fft.Forward(frame.data(), 1024, magnitudes.data(), phases.data());
        EXPECT_NEAR(FirstTone(magnitudes), f0, 2.0) << f0;
    }
}

TEST(MainTone, FrameWithoutLowBandEnergyReworksThePreviousCandidates)
{
    TToneEstimator estimator;
    EXPECT_EQ(estimator.MainTone(SpectrumWith({{10, 1.0}}).data()), 215.33203125);
    EXPECT_EQ(estimator.MainTone(SpectrumWith({{200, 1.0}}).data()), 215.33203125);
    EXPECT_EQ(estimator.MainTone(SpectrumWith({}).data()), 215.33203125);

    // Another estimator keeps its own list.
    EXPECT_EQ(FirstTone(SpectrumWith({{200, 1.0}})), kBinHz);
}

TEST(MainTone, SilenceAfterSeveralPeaksCanDriveTheToneBelowZero)
{
    // Peaks at bins 2, 4 and 7 leave two candidates (43.1 and 64.6 Hz) behind. A silent frame differences them
    // again into one bin and two bins; every tone up to one bin gives the same comb, so the lowest offset tried wins.
    TToneEstimator estimator;
    const double voiced = estimator.MainTone(SpectrumWith({{2, 1.0}, {4, 1.0}, {7, 1.0}}).data());
    EXPECT_GT(voiced, kBinHz);
    const double silent = estimator.MainTone(SpectrumWith({}).data());
    EXPECT_EQ(silent, kBinHz - 22);
    const std::vector<int16_t> periodic(2000, 100);
    EXPECT_EQ(Voicing(periodic.data(), 2000, silent), 0.0);
}

}  // namespace
