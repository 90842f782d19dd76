#include "SovoInteg.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Emitted {
    int32_t tag;   // which pushed atom was the window's middle
    bool last;
    TAtom atom;
};

// Atoms tagged through SampleCount, so the emitted middle atom can be told apart.
TAtom Tagged(int32_t tag, double voicing = 0.0, double tone = 0.0, double energy = 0.0, bool quiet = false)
{
    TAtom atom;
    atom.SampleCount = tag;
    atom.Voicing = voicing;
    atom.MainTone = tone;
    atom.Energy = energy;
    atom.Quiet = quiet;
    return atom;
}

class Integrator : public testing::Test {
protected:
    Integrator()
    {
        integrator.OnAtom = [this](const TAtom& atom, bool last) {
            emitted.push_back({atom.SampleCount, last, atom});
        };
    }
    // Pushes the atoms and returns what the last push emitted (the window then holds all of them).
    const TAtom& PushAll(const std::vector<TAtom>& atoms)
    {
        for (const TAtom& atom : atoms)
            integrator.Push(atom, false);
        return emitted.back().atom;
    }

    TVRAtomIntegrator integrator{200.0};
    std::vector<Emitted> emitted;
};

TEST_F(Integrator, WindowOf200msHolds69Hops)
{
    EXPECT_EQ(integrator.WindowLength(), 69);
}

TEST_F(Integrator, EmissionOrderAndCountsThroughFlush)
{
    const struct { int32_t pushed; std::vector<int32_t> tags; std::vector<bool> lasts; } cases[] = {
        {1, {0}, {false}},
        {2, {0, 1, 1}, {false, false, true}},
        {4, {0, 1, 1, 2, 2, 3, 3}, {false, false, false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        emitted.clear();
        for (int32_t i = 0; i < c.pushed; ++i)
            integrator.Push(Tagged(i), false);
        integrator.Flush();
        std::vector<int32_t> tags;
        std::vector<bool> lasts;
        for (const Emitted& e : emitted) {
            tags.push_back(e.tag);
            lasts.push_back(e.last);
        }
        EXPECT_EQ(tags, c.tags) << c.pushed << " pushed";
        EXPECT_EQ(lasts, c.lasts) << c.pushed << " pushed";
    }
}

TEST_F(Integrator, LongUtteranceEmitsPushedPlusWindowMinusOne)
{
    for (const int32_t pushed : {69, 70, 71, 300}) {
        emitted.clear();
        for (int32_t i = 0; i < pushed; ++i)
            integrator.Push(Tagged(i), false);
        integrator.Flush();
        EXPECT_EQ(static_cast<int32_t>(emitted.size()), pushed + std::min(pushed, 70) - 1) << pushed;
        EXPECT_TRUE(emitted.back().last);
        EXPECT_EQ(emitted.back().tag, pushed - 1);
    }
    // Sliding: once the window is full, the middle of the 70 newest atoms is emitted.
    emitted.clear();
    for (int32_t i = 0; i < 100; ++i)
        integrator.Push(Tagged(i), false);
    EXPECT_EQ(emitted.back().tag, 30 + 35);
}

TEST_F(Integrator, VoicingMedianIsPlainUpToMiddleTenThenMeanOfThree)
{
    // Voicing values i / 100 pushed in reverse, so that sorting matters.
    auto window = [](int32_t length) {
        std::vector<TAtom> atoms;
        for (int32_t i = length - 1; i >= 0; --i)
            atoms.push_back(Tagged(i, 0.6 + i / 100.0, 100.0 + i));
        return atoms;
    };
    const TAtom& plain = PushAll(window(21));   // h = 10
    EXPECT_DOUBLE_EQ(plain.Voicing, 0.6 + 10 / 100.0);
    integrator.Flush();
    const TAtom& mean = PushAll(window(22));    // h = 11
    EXPECT_DOUBLE_EQ(mean.Voicing, ((0.6 + 0.10) + (0.6 + 0.11) + (0.6 + 0.12)) / 3);
    // The tone takes the mean of three from a middle index of 7 on.
    EXPECT_DOUBLE_EQ(mean.MainTone, (110.0 + 111.0 + 112.0) / 3);
}

TEST_F(Integrator, WeakVoicingDropsTheMainTone)
{
    EXPECT_EQ(PushAll({Tagged(0, 0.59, 150.0)}).MainTone, 0.0);
    integrator.Flush();
    EXPECT_EQ(PushAll({Tagged(0, 0.61, 150.0)}).MainTone, 150.0);
}

TEST_F(Integrator, EnergyIsTheMeanOfThreeAheadOnceTheWindowAllows)
{
    const std::vector<TAtom> four = {Tagged(0, 0, 0, 1.0), Tagged(1, 0, 0, 2.0), Tagged(2, 0, 0, 4.0),
                                     Tagged(3, 0, 0, 8.0)};
    EXPECT_DOUBLE_EQ(PushAll(four).Energy, (2.0 + 4.0 + 8.0) / 3);   // L = 4: atoms 1..3
    integrator.Flush();
    const std::vector<TAtom> three(four.begin(), four.begin() + 3);
    EXPECT_DOUBLE_EQ(PushAll(three).Energy, 2.0);                    // L = 3: the middle atom's own
}

TEST_F(Integrator, QuietIsTheMajorityVote)
{
    for (const auto& [loud, quiet] : {std::pair{5, true}, std::pair{6, false}}) {
        std::vector<TAtom> atoms;
        for (int32_t i = 0; i < 10; ++i)
            atoms.push_back(Tagged(i, 0, 0, 0, i >= loud));
        EXPECT_EQ(PushAll(atoms).Quiet, quiet) << loud << " loud of 10";
        integrator.Flush();
    }
}

}  // namespace
