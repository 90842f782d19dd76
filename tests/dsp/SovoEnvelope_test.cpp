#include "SovoEnvelope.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <utility>
#include <vector>


namespace {

// The three outputs of BuildEnvelope, pre-filled with markers so that untouched positions show.
struct TEnvelopeOutputs {
    std::array<double, kBandCount> bands;
    std::array<double, kBandCount> envelope;
    std::array<uint8_t, kBandCount> bytes;

    TEnvelopeOutputs() { Fill(7.0, 0xAB); }
    void Fill(double value, uint8_t byte)
    {
        bands.fill(value);
        envelope.fill(value);
        bytes.fill(byte);
    }
    void Build(const std::vector<double>& spectrum)
    {
        BuildEnvelope(spectrum.data(), bands.data(), envelope.data(), bytes.data());
    }
};

std::vector<double> SpectrumWith(std::initializer_list<std::pair<int, double>> bins)
{
    std::vector<double> spectrum(kBinCount, 0.0);
    for (const auto& [bin, value] : bins)
        spectrum[bin] = value;
    return spectrum;
}

TEST(BuildEnvelope, SingleBinSpreadsBySixthsAndScalesToBytes)
{
    TEnvelopeOutputs out;
    out.Build(SpectrumWith({{40, 1.0}}));
    // 212.5 and 42.5 round to even as well as 127.5.
    const uint8_t bytesFromCentre[] = {255, 212, 170, 128, 85, 42};
    for (int band = 1; band < kBandCount; ++band) {
        const int distance = std::abs(band - 40);
        EXPECT_EQ(out.bands[band], band == 40 ? 1.0 : 0.0) << band;
        EXPECT_DOUBLE_EQ(out.envelope[band], distance <= 5 ? (6 - distance) / 6.0 : 0.0) << band;
        EXPECT_EQ(out.bytes[band], distance <= 5 ? bytesFromCentre[distance] : 0) << band;
    }
    EXPECT_EQ(out.bands[0], 7.0);
    EXPECT_EQ(out.envelope[0], 7.0);
    EXPECT_EQ(out.bytes[0], 0xAB);
}

TEST(BuildEnvelope, BandSumsRoundTiesToEven)
{
    // Band 76 holds bins 76 and 77; band 78 holds bins 79 and 80.
    TEnvelopeOutputs out;
    out.Build(SpectrumWith({{10, 2.5}, {20, 3.5}, {30, 0.49}, {76, 1.25}, {77, 1.25}, {79, 1.75}, {80, 1.75}}));
    EXPECT_EQ(out.bands[10], 2.0);
    EXPECT_EQ(out.bands[20], 4.0);
    EXPECT_EQ(out.bands[30], 0.0);
    EXPECT_EQ(out.bands[76], 2.0);
    EXPECT_EQ(out.bands[77], 0.0);
    EXPECT_EQ(out.bands[78], 4.0);
}

TEST(BuildEnvelope, SilentBandsLeaveTheBytesAsTheyWere)
{
    // DC and bins above 290 belong to no band that is used.
    for (const auto& spectrum : {SpectrumWith({}), SpectrumWith({{0, 100.0}, {291, 50.0}, {511, 9.0}}),
                                 SpectrumWith({{5, 0.4}})}) {
        TEnvelopeOutputs out;
        out.Build(spectrum);
        for (int band = 1; band < kBandCount; ++band) {
            EXPECT_EQ(out.bands[band], 0.0) << band;
            EXPECT_EQ(out.envelope[band], 0.0) << band;
        }
        EXPECT_EQ(out.bytes, (TEnvelopeOutputs{}.bytes));
    }
}

}  // namespace
