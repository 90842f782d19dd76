#include "PreparedEnvelope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

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
