#include "EnvelopeComparison.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "SeriesHelpers.h"
#include "SovoError.h"

namespace {

using TBytes = std::vector<uint8_t>;

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

TEST(PreparedEnvelope, CorrelatesExactlyAsTheEnvelopeCorrelation)
{
    std::mt19937 rng(3);
    std::vector<TBytes> envelopes = {TBytes(kBandCount, 0), TBytes(kBandCount, 255), TBytes(kBandCount, 17)};
    TBytes ramp(kBandCount), peak(kBandCount, 0), zeroFromOne(kBandCount, 0);
    for (int i = 0; i < kBandCount; ++i)
        ramp[i] = static_cast<uint8_t>(2 * i);
    peak[64] = 255;
    zeroFromOne[0] = 200;   // position 0 carries nothing
    envelopes.insert(envelopes.end(), {ramp, peak, zeroFromOne});
    for (int i = 0; i < 40; ++i) {
        TBytes random(kBandCount);
        for (uint8_t& b : random)
            b = static_cast<uint8_t>(rng());
        envelopes.push_back(random);
    }
    for (const TBytes& a : envelopes) {
        for (const TBytes& b : envelopes) {
            const double expected = EnvelopeCorrelation(a.data(), b.data());
            const double prepared = PreparedCorrelation(PrepareEnvelope(a.data()), PrepareEnvelope(b.data()));
            ASSERT_EQ(std::memcmp(&expected, &prepared, sizeof(double)), 0) << expected << " " << prepared;
        }
    }
}

}  // namespace
