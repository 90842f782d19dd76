#pragma once
// Groups envelopes under the envelope correlation (spherical k-means). Each 128-byte envelope becomes the unit
// vector of its deviations from its mean, position 0 counted as 0 as the comparison counts it; the dot product
// of two such vectors is their correlation, and a cluster's centre is the direction its members correlate with
// best on average. Deterministic: the same envelopes in the same order give the same clusters on any machine.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SovoTypes.h"

using TEnvelopeBytes = std::array<uint8_t, kBandCount>;   // position 0 is not part of the envelope

struct TEnvelopeClusters {
    std::vector<size_t> Cluster;                 // per envelope: index of its cluster
    std::vector<std::vector<double>> Centres;    // unit vectors of kBandCount values
    std::vector<size_t> Sizes;                   // members per cluster, every one at least 1
};

// At most count clusters (fewer only when there are fewer distinct envelopes). Flat envelopes (no variance)
// correlate with nothing and are left out: their Cluster is the number of clusters. count >= 1.
TEnvelopeClusters ClusterEnvelopes(const std::vector<TEnvelopeBytes>& envelopes, size_t count);

// The byte envelope whose correlation with any envelope equals that envelope's correlation with centre
// (up to rounding to bytes): the template that stands for a cluster. Position 0 is left 0.
TEnvelopeBytes EnvelopeOfCentre(const std::vector<double>& centre);
