#include "SovoEnvelope.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "SovoError.h"

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

std::array<uint8_t, kBandCount> Ramp()
{
    std::array<uint8_t, kBandCount> e{};
    for (int i = 1; i < kBandCount; ++i)
        e[i] = static_cast<uint8_t>((i * 37) % 256);
    return e;
}

TEST(EnvelopeCorrelation, IsTheCorrelationOfTheFullArraysWithPositionZeroAsZero)
{
    std::array<uint8_t, kBandCount> a = Ramp(), b{}, zero{}, flat{};
    for (int i = 1; i < kBandCount; ++i) {
        b[i] = static_cast<uint8_t>(255 - (i * 11) % 200);
        flat[i] = 200;
    }
    EXPECT_NEAR(EnvelopeCorrelation(a.data(), a.data()), 1.0, 1e-12);
    EXPECT_EQ(EnvelopeCorrelation(zero.data(), a.data()), 0.0);
    EXPECT_EQ(EnvelopeCorrelation(a.data(), zero.data()), 0.0);

    auto asDoubles = [](const std::array<uint8_t, kBandCount>& e) {
        std::vector<double> v(e.begin(), e.end());
        v[0] = 0.0;
        return v;
    };
    for (const auto& other : {b, flat}) {
        const double expected = Correlate(asDoubles(a).data(), kBandCount, asDoubles(other).data(), kBandCount);
        EXPECT_NEAR(EnvelopeCorrelation(a.data(), other.data()), expected, 1e-12);
        EXPECT_NE(expected, 0.0);   // a constant envelope is not flat: position 0 counts as 0
    }

    const double before = EnvelopeCorrelation(a.data(), b.data());
    a[0] = 255;
    b[0] = 17;
    EXPECT_EQ(EnvelopeCorrelation(a.data(), b.data()), before);
}

class EnvelopeCompareRestorer : public ::testing::Test {
protected:
    void TearDown() override { EnvelopeCompare = saved_; }

private:
    TEnvelopeCompare saved_ = EnvelopeCompare;
};

TEST_F(EnvelopeCompareRestorer, CompareEnvelopesUsesTheFunctionInForce)
{
    const std::array<uint8_t, kBandCount> a = Ramp();
    EXPECT_EQ(EnvelopeCompare, &EnvelopeCorrelation);
    EXPECT_EQ(CompareEnvelopes(a.data(), a.data()), EnvelopeCorrelation(a.data(), a.data()));

    EnvelopeCompare = [](const uint8_t* x, const uint8_t* y) { return x[5] - y[5] + 0.25; };
    EXPECT_EQ(CompareEnvelopes(a.data(), a.data()), 0.25);

    EnvelopeCompare = nullptr;
    try {
        CompareEnvelopes(a.data(), a.data());
        FAIL() << "no comparison function must throw";
    } catch (const ESovoError& e) {
        EXPECT_STREQ(e.what(), "Не определена функция сравнеия огибающих.");
    }
}

}  // namespace
