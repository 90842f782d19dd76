#include "EnvelopeClustering.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EnvelopeComparison.h"

namespace {

// An envelope with one peak at band centre, falling off by slope per band, over a floor.
TEnvelopeBytes Peak(int centre, int slope, int floor = 10)
{
    TEnvelopeBytes bytes{};
    for (int i = 1; i < kBandCount; ++i)
        bytes[i] = static_cast<uint8_t>(std::max(floor, 255 - slope * std::abs(i - centre)));
    return bytes;
}

double Correlation(const TEnvelopeBytes& a, const TEnvelopeBytes& b)
{
    return EnvelopeCorrelation(a.data(), b.data());
}

TEST(EnvelopeClustering, OneEnvelopeComesBackAsItsOwnTemplateScaledTo255)
{
    TEnvelopeBytes envelope = Peak(40, 3);
    for (int i = 1; i < kBandCount; ++i)
        envelope[i] = static_cast<uint8_t>(envelope[i] / 2);   // peak 127
    const TEnvelopeClusters clusters = ClusterEnvelopes({envelope}, 3);
    ASSERT_EQ(clusters.Centres.size(), 1u);
    const TEnvelopeBytes tmpl = EnvelopeOfCentre(clusters.Centres[0]);
    EXPECT_EQ(tmpl[0], 0);
    for (int i = 1; i < kBandCount; ++i)
        EXPECT_NEAR(tmpl[i], 255.0 * envelope[i] / 127, 0.51) << i;
}

// The centre of two members lies halfway between them: its correlation with each is sqrt((1 + r) / 2), r
// their own correlation. The template made from it must keep that, position 0 counted as 0.
TEST(EnvelopeClustering, CentreTemplateCorrelatesWithMembersAsTheCentreDoes)
{
    const TEnvelopeBytes a = Peak(20, 4), b = Peak(35, 2, 40);
    const TEnvelopeClusters clusters = ClusterEnvelopes({a, b}, 1);
    ASSERT_EQ(clusters.Centres.size(), 1u);
    const TEnvelopeBytes tmpl = EnvelopeOfCentre(clusters.Centres[0]);
    const double expected = std::sqrt((1 + Correlation(a, b)) / 2);
    EXPECT_NEAR(Correlation(tmpl, a), expected, 0.002);
    EXPECT_NEAR(Correlation(tmpl, b), expected, 0.002);
}

TEST(EnvelopeClustering, SeparatesDistinctShapesAndLeavesFlatEnvelopesOut)
{
    std::vector<TEnvelopeBytes> envelopes;
    for (int k = 0; k < 6; ++k) {
        envelopes.push_back(Peak(15 + k % 3, 5));    // low peaks: 0, 3, 6, 9
        envelopes.push_back(Peak(100 - k % 3, 5));   // high peaks: 1, 4, 7, 10
        envelopes.push_back(Peak(60 + k % 2, 5));    // middle peaks
    }
    TEnvelopeBytes flat;
    flat.fill(77);
    flat[0] = 0;
    envelopes.push_back(TEnvelopeBytes{});   // silence: correlates with nothing
    // Constant over bands 1..127, yet not flat for the comparison, which counts position 0 as 0.
    envelopes.push_back(flat);

    const TEnvelopeClusters clusters = ClusterEnvelopes(envelopes, 3);
    ASSERT_EQ(clusters.Centres.size(), 3u);
    for (size_t e = 0; e < 18; ++e)
        EXPECT_EQ(clusters.Cluster[e], clusters.Cluster[e % 3]) << e;
    EXPECT_NE(clusters.Cluster[0], clusters.Cluster[1]);
    EXPECT_NE(clusters.Cluster[0], clusters.Cluster[2]);
    EXPECT_NE(clusters.Cluster[1], clusters.Cluster[2]);
    EXPECT_EQ(clusters.Cluster[18], 3u) << "an all-zero envelope belongs to no cluster";
    EXPECT_LT(clusters.Cluster[19], 3u);
    size_t members = 0;
    for (const size_t size : clusters.Sizes)
        members += size;
    EXPECT_EQ(members, 19u);

    const TEnvelopeClusters again = ClusterEnvelopes(envelopes, 3);
    EXPECT_EQ(again.Cluster, clusters.Cluster);
    EXPECT_EQ(again.Centres, clusters.Centres);
}

TEST(EnvelopeClustering, NoClusterStaysEmptyWhenFewerShapesThanClustersAreAsked)
{
    const std::vector<TEnvelopeBytes> envelopes = {Peak(10, 5), Peak(10, 5), Peak(10, 5), Peak(90, 5)};
    const TEnvelopeClusters clusters = ClusterEnvelopes(envelopes, 4);
    EXPECT_LE(clusters.Centres.size(), 4u);
    ASSERT_EQ(clusters.Sizes.size(), clusters.Centres.size());
    for (const size_t size : clusters.Sizes)
        EXPECT_GE(size, 1u);
    EXPECT_NE(clusters.Cluster[0], clusters.Cluster[3]);
}

TEST(EnvelopeClustering, OnlyFlatEnvelopesGiveNoCluster)
{
    const TEnvelopeClusters clusters = ClusterEnvelopes({TEnvelopeBytes{}, TEnvelopeBytes{}}, 2);
    EXPECT_TRUE(clusters.Centres.empty());
    EXPECT_EQ(clusters.Cluster, (std::vector<size_t>{0, 0}));
}

}  // namespace
