#include "EnvelopeClustering.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr size_t kDims = kBandCount;
constexpr int kMaxRounds = 100;
constexpr uint64_t kSeed = 20240611;

using TVector = std::vector<double>;

double Dot(const double* a, const double* b)
{
    double sum = 0.0;
    for (size_t i = 0; i < kDims; ++i)
        sum += a[i] * b[i];
    return sum;
}

// Deviations from the mean over all 128 positions (position 0 as 0), scaled to length 1; empty when flat.
TVector Standardised(const TEnvelopeBytes& bytes)
{
    double mean = 0.0;
    for (size_t i = 1; i < kDims; ++i)
        mean += bytes[i];
    mean /= kDims;
    TVector v(kDims);
    double norm = 0.0;
    for (size_t i = 0; i < kDims; ++i) {
        v[i] = (i == 0 ? 0.0 : bytes[i]) - mean;
        norm += v[i] * v[i];
    }
    if (!(norm > 0))
        return {};
    norm = std::sqrt(norm);
    for (double& x : v)
        x /= norm;
    return v;
}

void Normalise(TVector& v)
{
    const double norm = std::sqrt(Dot(v.data(), v.data()));
    if (norm > 0) {
        for (double& x : v)
            x /= norm;
    }
}

// A uniform draw in [0, 1) from the engine's raw bits: the standard distributions differ between libraries.
double Uniform(std::mt19937_64& engine)
{
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

class TSphericalKMeans {
public:
    TSphericalKMeans(const std::vector<TVector>& points, size_t count) : points_(points), count_(count) {}

    TEnvelopeClusters Run()
    {
        Seed();
        std::vector<size_t> previous;
        for (int round = 0; round < kMaxRounds && cluster_ != previous; ++round) {
            previous = cluster_;
            UpdateCentres();
            Assign();
        }
        UpdateCentres();
        return {cluster_, centres_, sizes_};
    }

private:
    // k-means++: each further centre is drawn with probability proportional to 1 - (best correlation so far),
    // the squared distance between unit vectors divided by two.
    void Seed()
    {
        std::mt19937_64 engine(kSeed);
        std::vector<double> distance(points_.size(), std::numeric_limits<double>::max());
        centres_.push_back(points_[static_cast<size_t>(Uniform(engine) * static_cast<double>(points_.size()))]);
        while (centres_.size() < count_) {
            double total = 0.0;
            for (size_t p = 0; p < points_.size(); ++p) {
                distance[p] = std::min(distance[p], 1.0 - Dot(points_[p].data(), centres_.back().data()));
                total += std::max(distance[p], 0.0);
            }
            if (!(total > 1e-12))
                break;   // every point sits on a centre already
            double pick = Uniform(engine) * total;
            size_t chosen = 0;
            for (size_t p = 0; p < points_.size(); ++p) {
                pick -= std::max(distance[p], 0.0);
                if (pick < 0) {
                    chosen = p;
                    break;
                }
                chosen = p;
            }
            centres_.push_back(points_[chosen]);
        }
        Assign();
    }

    void Assign()
    {
        cluster_.assign(points_.size(), 0);
        sizes_.assign(centres_.size(), 0);
        for (size_t p = 0; p < points_.size(); ++p) {
            double best = -std::numeric_limits<double>::max();
            for (size_t c = 0; c < centres_.size(); ++c) {
                const double similarity = Dot(points_[p].data(), centres_[c].data());
                if (similarity > best) {
                    best = similarity;
                    cluster_[p] = c;
                }
            }
            ++sizes_[cluster_[p]];
        }
    }

    // Each centre becomes the normalised sum of its members; a cluster left empty takes over the point that
    // correlates worst with its own centre, so that no template is wasted.
    void UpdateCentres()
    {
        for (size_t c = 0; c < centres_.size(); ++c) {
            if (sizes_[c] == 0)
                Adopt(c);
        }
        std::vector<TVector> sums(centres_.size(), TVector(kDims, 0.0));
        for (size_t p = 0; p < points_.size(); ++p) {
            for (size_t i = 0; i < kDims; ++i)
                sums[cluster_[p]][i] += points_[p][i];
        }
        for (size_t c = 0; c < centres_.size(); ++c) {
            Normalise(sums[c]);
            centres_[c] = std::move(sums[c]);
        }
    }

    void Adopt(size_t emptyCluster)
    {
        size_t worst = 0;
        double worstSimilarity = std::numeric_limits<double>::max();
        for (size_t p = 0; p < points_.size(); ++p) {
            if (sizes_[cluster_[p]] < 2)
                continue;
            const double similarity = Dot(points_[p].data(), centres_[cluster_[p]].data());
            if (similarity < worstSimilarity) {
                worstSimilarity = similarity;
                worst = p;
            }
        }
        --sizes_[cluster_[worst]];
        cluster_[worst] = emptyCluster;
        sizes_[emptyCluster] = 1;
    }

    const std::vector<TVector>& points_;
    size_t count_;
    std::vector<TVector> centres_;
    std::vector<size_t> cluster_;
    std::vector<size_t> sizes_;
};

}  // namespace

TEnvelopeClusters ClusterEnvelopes(const std::vector<TEnvelopeBytes>& envelopes, size_t count)
{
    std::vector<TVector> points;
    std::vector<size_t> origin;
    for (size_t e = 0; e < envelopes.size(); ++e) {
        TVector v = Standardised(envelopes[e]);
        if (!v.empty()) {
            points.push_back(std::move(v));
            origin.push_back(e);
        }
    }
    if (points.empty())
        return {std::vector<size_t>(envelopes.size(), 0), {}, {}};

    TEnvelopeClusters found = TSphericalKMeans(points, std::min(count, points.size())).Run();
    TEnvelopeClusters clusters;
    clusters.Cluster.assign(envelopes.size(), found.Centres.size());
    for (size_t p = 0; p < points.size(); ++p)
        clusters.Cluster[origin[p]] = found.Cluster[p];
    clusters.Centres = std::move(found.Centres);
    clusters.Sizes = std::move(found.Sizes);
    return clusters;
}

TEnvelopeBytes EnvelopeOfCentre(const std::vector<double>& centre)
{
    // Correlation ignores offset and scale but counts position 0 as 0: the template is the centre shifted so
    // that position 0 is 0, which keeps every other position at or above it, then scaled to 255.
    double peak = 0.0;
    for (size_t i = 1; i < kDims; ++i)
        peak = std::max(peak, centre[i] - centre[0]);
    TEnvelopeBytes bytes{};
    if (!(peak > 0))
        return bytes;
    for (size_t i = 1; i < kDims; ++i)
        bytes[i] = static_cast<uint8_t>(std::clamp(std::nearbyint(255.0 * (centre[i] - centre[0]) / peak), 0.0, 255.0));
    return bytes;
}
