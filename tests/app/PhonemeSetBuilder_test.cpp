#include "PhonemeSetBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <numeric>

#include "PhonemeRecordings.h"
#include "PhonemeSetWriter.h"
#include "SovoError.h"
#include "TempDir.h"
#include "UtteranceAtoms.h"

namespace {

namespace fs = std::filesystem;

const std::string kVowels = "aeiou";

// The reference vowels (a sustained a, e, i, o, u of one voice) as a folder per unit.
class VowelRecordings : public testing::Test {
protected:
    VowelRecordings()
    {
        for (const char vowel : kVowels) {
            const std::string unit(1, vowel);
            fs::create_directories(dir.Path() / "rec" / unit);
            fs::copy_file(std::string(PARLANTO_GOLDEN_DIR) + "/wav/vowel_" + unit + ".wav",
                          dir.Path() / "rec" / unit / "take1.wav");
        }
    }
    std::vector<TUnitRecordings> Recordings() const { return RecordingsFromFolders((dir.Path() / "rec").string()); }

    TempDir dir;
};

TEST_F(VowelRecordings, LearntTemplatesTellTheVowelsApart)
{
    TPhonemeBuildSettings settings;
    settings.TemplatesPerUnit = 2;
    const std::vector<TBuiltPhoneme> set = BuildPhonemeSet(Recordings(), settings);
    ASSERT_EQ(set.size(), 5u);
    for (size_t i = 0; i < set.size(); ++i) {
        EXPECT_EQ(set[i].Name, std::string(1, kVowels[i]));
        EXPECT_GE(set[i].Templates.size(), 1u);
        EXPECT_LE(set[i].Templates.size(), 2u);
        EXPECT_GT(set[i].AtomCount, 0u);
    }
    WritePhonemeSet(set, dir.Dir() + "models");

    TTeskPhoneme phoneme;
    phoneme.OnModelsChanged = [](TTeskPhoneme&) {};
    phoneme.LoadModels(dir.Dir() + "models/", "phm");
    ASSERT_EQ(phoneme.ModelCount(), 5);
    for (const char vowel : kVowels) {
        std::map<int32_t, int> wins;
        int loud = 0;
        for (const TAtom& atom : ReadUtteranceAtoms(std::string(PARLANTO_GOLDEN_DIR) + "/wav/vowel_" + vowel + ".wav")) {
            if (atom.Level < settings.MinLevel)
                continue;
            phoneme.ClassifyAtom(atom, false);
            ++wins[phoneme.Decision.Name[0]];
            ++loud;
        }
        EXPECT_GT(wins[vowel], loud * 9 / 10) << vowel;
    }
}

TEST_F(VowelRecordings, DataDrivenUnitsPoolEveryAtomAndAreNamedFromTheLowestBandUp)
{
    TPhonemeBuildSettings labelled;
    const std::vector<TBuiltPhoneme> byLabel = BuildPhonemeSet(Recordings(), labelled);
    TPhonemeBuildSettings dataDriven;
    dataDriven.DataDrivenUnits = 2;
    const std::vector<TBuiltPhoneme> units = BuildPhonemeSet(Recordings(), dataDriven);

    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].Name, "u01");
    EXPECT_EQ(units[1].Name, "u02");
    const auto atoms = [](const std::vector<TBuiltPhoneme>& set) {
        return std::accumulate(set.begin(), set.end(), size_t{0},
                               [](size_t sum, const TBuiltPhoneme& p) { return sum + p.AtomCount; });
    };
    EXPECT_EQ(atoms(units), atoms(byLabel));
    const auto centreBand = [](const TPhonemeTemplate& t) {
        double weighted = 0, total = 0;
        for (size_t i = 1; i < t.size(); ++i) {
            weighted += static_cast<double>(i) * t[i];
            total += t[i];
        }
        return weighted / total;
    };
    EXPECT_LT(centreBand(units[0].Templates[0]), centreBand(units[1].Templates[0]));
}

// A vowel-like sound on a 300 Hz main tone: harmonics with falling amplitude, one second long.
std::vector<int16_t> Tone300()
{
    std::vector<int16_t> samples(22050);
    for (size_t n = 0; n < samples.size(); ++n) {
        double value = 0;
        for (int h = 1; h <= 8; ++h)
            value += std::sin(2 * M_PI * 300.0 * h * static_cast<double>(n) / 22050) / h;
        samples[n] = static_cast<int16_t>(6000 * value);
    }
    return samples;
}

TEST_F(VowelRecordings, TemplateByteZeroHoldsTheLowBitsOfTheMainTone)
{
    const std::vector<TUnitRecordings> recordings = {{"tone", {dir.WriteWav("tone.wav", Tone300())}}};
    const std::vector<TBuiltPhoneme> set = BuildPhonemeSet(recordings, {});
    ASSERT_EQ(set.size(), 1u);
    EXPECT_NEAR(set[0].Templates[0][0], 300 % 256, 3);
}

TEST_F(VowelRecordings, UnitsWithoutLoudAtomsAreLeftOutAndNoneAtAllIsAnError)
{
    const std::string silence = dir.WriteWav("silence.wav", std::vector<int16_t>(22050, 0));
    std::vector<TUnitRecordings> recordings = Recordings();
    recordings.push_back({"quiet", {silence}});
    const std::vector<TBuiltPhoneme> set = BuildPhonemeSet(recordings, {});
    EXPECT_EQ(set.size(), 5u);
    EXPECT_THROW(BuildPhonemeSet({{"quiet", {silence}}}, {}), ESovoError);
}

TEST(StablePhonemeIds, AUnitKeepsItsIdWhateverOtherUnitsTheSetHas)
{
    const std::vector<int32_t> three = StablePhonemeIds({"a", "sh", "u01"});
    const std::vector<int32_t> two = StablePhonemeIds({"u01", "a"});
    EXPECT_EQ(three[0], two[1]);
    EXPECT_EQ(three[2], two[0]);
    for (const int32_t id : three)
        EXPECT_GT(id, 0);
    EXPECT_NE(three[0], three[1]);
    EXPECT_NE(three[1], three[2]);
    EXPECT_NE(three[0], three[2]);
}

TEST(StablePhonemeIds, CollidingNamesGetDistinctIdsInWhateverOrderTheyCome)
{
    // "16cd" and "gwzx" share a 31-bit hash: the one first in byte order keeps it, the other counts on.
    const std::vector<int32_t> ids = StablePhonemeIds({"gwzx", "16cd"});
    EXPECT_EQ(ids[1], 1799261081);
    EXPECT_EQ(ids[0], 1799261082);
    EXPECT_EQ(StablePhonemeIds({"16cd", "gwzx"}), (std::vector<int32_t>{1799261081, 1799261082}));
}

}  // namespace
