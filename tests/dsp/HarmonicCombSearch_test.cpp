// The fast comb search must name the tone that scoring every comb plainly names: same centres, same winner,
// ties and near ties included.
#include "HarmonicCombSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cmath>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "VectorWidth.h"
#include "HarmonicComb.h"
#include "SeriesHelpers.h"

namespace {

constexpr int32_t kReach = 22;

// The comb of a tone straight from its definition, weighted by the envelope.
std::vector<double> PlainComb(double tone, const std::vector<double>& envelope)
{
    std::vector<double> comb(kBinCount, 0.0);
    const double fundamental = std::max(tone, kBinHz);
    for (int32_t h = 1; h < kCombHarmonicLimit; ++h) {
        const auto centre = static_cast<int32_t>(h * fundamental / kBinHz);
        if (centre + 2 >= kBinCount)
            break;
        for (int32_t c = 0; c < kCombCells; ++c)
            comb[centre - 1 + c] = kCombWeights[c];
    }
    for (int32_t k = 0; k < kBinCount; ++k)
        comb[k] *= envelope[k];
    return comb;
}

struct TFrame {
    std::vector<double> envelope;
    std::vector<double> target;
    std::vector<double> candidates;

    double PlainScore(double tone) const
    {
        const std::vector<double> comb = PlainComb(tone, envelope);
        return Correlate(comb.data(), kBinCount, target.data(), kBinCount) * 0.5 + 0.5;
    }

    // The first tone with the highest plain score above 0, trying them in order.
    std::optional<double> PlainBest() const
    {
        std::optional<double> best;
        double bestScore = 0.0;
        for (const double candidate : candidates) {
            for (int32_t offset = -kReach; offset <= kReach; ++offset) {
                const double score = PlainScore(candidate + offset);
                if (score > bestScore) {
                    bestScore = score;
                    best = candidate + offset;
                }
            }
        }
        return best;
    }

    std::optional<double> FastBest(bool wide = true) const
    {
        const TVectorWidth width(wide);
        THarmonicCombSearch search;
        search.Prepare(envelope.data(), target.data());
        return search.Best(candidates, kReach, [this](double tone) { return PlainScore(tone); });
    }
};

// An envelope like the tone estimator's: zero in bins 0 and 1, and a target that is zero from bin 170 on.
TFrame RandomFrame(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    TFrame frame{std::vector<double>(kBinCount, 0.0), std::vector<double>(kBinCount, 0.0), {}};
    double level = 1.0;
    for (int32_t k = 2; k < kBinCount; ++k) {
        level = std::clamp(level + 0.1 * (unit(rng) - 0.5), 0.05, 1.0);
        frame.envelope[k] = level;
    }
    for (int32_t k = 2; k < kBinCount / 3; ++k)
        frame.target[k] = unit(rng) < 0.2 ? unit(rng) : 0.0;
    std::uniform_real_distribution<double> tone(25.0, 900.0);
    const int count = 2 + static_cast<int>(rng() % 5);
    for (int i = 0; i < count; ++i)
        frame.candidates.push_back(tone(rng));
    std::sort(frame.candidates.begin(), frame.candidates.end());
    return frame;
}

TEST(CombCentres, AreThePlainQuotientsTruncated)
{
    std::vector<double> tones = {-30.0, 0.0, 5.0, kBinHz, 2 * kBinHz, 1.5 * kBinHz, 3700.0, 11000.0, 20000.0};
    for (double tone = 1.0; tone < 4000.0; tone += 0.37)
        tones.push_back(tone);
    // Tones whose harmonics land exactly on or next to whole bins: where fixed-point positions cannot decide.
    for (int32_t denominator = 1; denominator <= 12; ++denominator) {
        for (int32_t numerator = denominator; numerator < 60 * denominator; ++numerator) {
            const double tone = kBinHz * numerator / denominator;
            tones.insert(tones.end(), {tone, std::nextafter(tone, 0.0), std::nextafter(tone, 1e9)});
        }
    }
    for (const double tone : tones) {
        std::vector<int32_t> plain;
        const double fundamental = std::max(tone, kBinHz);
        for (int32_t h = 1; h < kCombHarmonicLimit; ++h) {
            const auto centre = static_cast<int32_t>(h * fundamental / kBinHz);
            if (centre + 2 >= kBinCount)
                break;
            plain.push_back(centre);
        }
        int32_t centres[kCombHarmonicLimit];
        const int32_t count = CombCentres(tone, centres);
        ASSERT_EQ(std::vector<int32_t>(centres, centres + count), plain) << tone;
    }
}

TEST(CombSteps, HarmonicsBelowABinAreThoseOfTheIntegerDivision)
{
    // Steps that reach the bin exactly at a harmonic, one unit either side of those, and steps in between.
    const int32_t bin = kCombLastCentre + 1;
    const uint64_t end = static_cast<uint64_t>(bin) << TCombSteps::kFractionBits;
    std::vector<uint64_t> steps;
    for (uint64_t h = 1; h <= 2 * kCombHarmonicLimit; ++h) {
        const uint64_t exact = end / h;
        steps.insert(steps.end(), {exact - 1, exact, exact + 1});
    }
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i)
        steps.push_back(TCombSteps::kOne + rng() % (end - TCombSteps::kOne));
    for (const uint64_t step : steps) {
        TCombSteps comb;
        comb.step = step;
        const auto plain = static_cast<int32_t>(std::min<uint64_t>(kCombHarmonicLimit - 1, (end - 1) / step));
        ASSERT_EQ(comb.HarmonicsBelow(bin), plain) << step;
    }
}

TEST(CombSteps, NoHarmonicNearAWholeBinGoesUnflagged)
{
    // Tones with harmonics on, just beside and nowhere near whole bins; every count of harmonics tested.
    std::vector<double> tones;
    for (double tone = 20.0; tone < 1200.0; tone += 0.731)
        tones.push_back(tone);
    for (int32_t denominator = 1; denominator <= 40; ++denominator) {
        for (int32_t numerator = denominator; numerator < 30 * denominator; numerator += 7) {
            const double tone = kBinHz * numerator / denominator;
            tones.insert(tones.end(), {tone, std::nextafter(tone, 0.0), std::nextafter(tone, 1e9)});
        }
    }
    constexpr int32_t kAhead = 16;   // harmonics that a test may look at beyond those asked for
    int32_t nearTests = 0, falseAlarms = 0;
    for (const double tone : tones) {
        const TCombSteps steps = CombSteps(tone);
        const auto nearWhole = [&steps](int32_t h) { return TCombSteps::NearWholeBin(h * steps.step); };
        bool near = false;
        for (int32_t count = 1; count < kCombHarmonicLimit; ++count) {
            near |= nearWhole(count);
            bool nearAhead = near;
            for (int32_t h = count + 1; h <= count + kAhead; ++h)
                nearAhead |= nearWhole(h);
            for (const bool wide : {true, false}) {
                const TVectorWidth width(wide);
                const bool flagged = steps.AnyNearWholeBin(count);
                ASSERT_TRUE(flagged || !near) << tone << " Hz, " << count << " harmonics";
                falseAlarms += flagged && !nearAhead ? 1 : 0;
            }
            nearTests += near ? 1 : 0;
        }
    }
    EXPECT_GT(nearTests, 10000);   // the near cases were there
    EXPECT_EQ(falseAlarms, 0);     // and the test is no blanket alarm
}

TEST(HarmonicCombSearch, NamesThePlainBestToneOfRandomFrames)
{
    std::mt19937 rng(20240611);
    for (int trial = 0; trial < 300; ++trial) {
        const TFrame frame = RandomFrame(rng);
        const std::optional<double> plain = frame.PlainBest();
        ASSERT_EQ(frame.FastBest(true), plain) << "trial " << trial;
        ASSERT_EQ(frame.FastBest(false), plain) << "trial " << trial << ", two at a time";
    }
}

// A flat envelope (dipping to half every seventh bin when dipped) and a target of equal spikes every
// spacing-th bin of the lower band: many combs score alike, or within a rounding of each other.
TFrame Regular(bool dipped, int32_t spacing, std::vector<double> candidates)
{
    TFrame frame{std::vector<double>(kBinCount, 1.0), std::vector<double>(kBinCount, 0.0), std::move(candidates)};
    frame.envelope[0] = frame.envelope[1] = 0.0;
    for (int32_t k = 2; k < kBinCount; ++k) {
        if (dipped && k % 7 == 0)
            frame.envelope[k] = 0.5;
        if (k < kBinCount / 3 && k % spacing == 0)
            frame.target[k] = 1.0;
    }
    return frame;
}

TEST(HarmonicCombSearch, SettlesTiesAndNearTiesAsThePlainScores)
{
    // The bounds cannot decide these, so the plain scores must. In the first two the fast scores, without
    // their bounds, would pick another tone; in the next four a later tone than the first undecided one has
    // the best plain score (all found by searching such frames); whole-bin tones in the others test the
    // centres that fixed-point positions cannot give.
    const TFrame frames[] = {
        Regular(true, 4, {275.75, 581.0}),
        Regular(true, 6, {157.75, 343.75, 539.75, 623.0}),
        Regular(true, 8, {317.0, 433.0}),
        Regular(true, 8, {131.0, 428.0, 470.5}),
        Regular(false, 2, {466.0, 489.5}),
        Regular(false, 2, {466.75, 532.25, 538.0, 554.75}),
        Regular(false, 1, {100.0, 150.0, 300.0}),
        Regular(false, 10, {kBinHz, 2 * kBinHz, 10 * kBinHz}),
        Regular(true, 3, {43.066, 64.599}),
        Regular(false, 5, {500.0, 520.0, 540.0}),
    };
    for (size_t i = 0; i < std::size(frames); ++i) {
        EXPECT_EQ(frames[i].FastBest(true), frames[i].PlainBest()) << "frame " << i;
        EXPECT_EQ(frames[i].FastBest(false), frames[i].PlainBest()) << "frame " << i << ", two at a time";
    }
}

TEST(HarmonicCombSearch, AFlatTargetLeavesTheFirstTone)
{
    // Nothing to correlate with: every comb scores 0.5, and the first tone tried stays.
    TFrame frame{std::vector<double>(kBinCount, 0.5), std::vector<double>(kBinCount, 0.0), {180.0, 90.0}};
    EXPECT_EQ(frame.FastBest(), std::optional<double>(180.0 - kReach));
    EXPECT_EQ(frame.PlainBest(), frame.FastBest());
}

}  // namespace
