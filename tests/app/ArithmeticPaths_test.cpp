// The fast arithmetic recognizes exactly as the reference arithmetic (the straightforward loops), with and
// without its four-at-a-time loops: every field of every atom, the trajectory and every score, bit for bit,
// over the reference and example utterances, and over noisy copies of some of them (noise makes many peaks and tone candidates), with the
// reference models and with the shipped ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "ArithmeticPath.h"
#include "FileRecognizer.h"
#include "TempDir.h"
#include "VectorWidth.h"

namespace {

namespace fs = std::filesystem;

struct TUtteranceRecord {
    TFileResult result;
    TArrayAtoms atoms;
    TCommandTraj trajectory;
};

std::vector<std::string> WavFiles(const fs::path& folder)
{
    std::vector<std::string> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".wav")
                files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The utterance with a quarter second of white noise before and after, and the same noise under it.
std::vector<int16_t> Noisy(const std::string& wavFile, int amplitude, unsigned seed)
{
    constexpr size_t kHeaderBytes = 44;
    std::ifstream in(wavFile, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> speech(bytes.size() > kHeaderBytes ? (bytes.size() - kHeaderBytes) / 2 : 0);
    std::memcpy(speech.data(), bytes.data() + kHeaderBytes, speech.size() * 2);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-amplitude, amplitude);
    const size_t pad = 22050 / 4;
    std::vector<int16_t> samples(speech.size() + 2 * pad);
    for (size_t i = 0; i < samples.size(); ++i) {
        const int voice = i >= pad && i < pad + speech.size() ? speech[i - pad] : 0;
        samples[i] = static_cast<int16_t>(std::clamp(voice + noise(rng), -32768, 32767));
    }
    return samples;
}

// One recognizer over all files in order, so that what carries over from file to file is compared too.
std::vector<TUtteranceRecord> RecognizeAll(const std::string& models, const std::vector<std::string>& files,
                                           TArithmeticPath path)
{
    SetArithmeticPath(path);
    std::vector<TUtteranceRecord> records;
    {
        TFileRecognizer recognizer(models);
        for (const std::string& file : files) {
            TUtteranceRecord record;
            record.result = recognizer.Recognize(file);
            record.atoms = recognizer.Sovo().Processor->Atoms;
            record.trajectory = recognizer.Sovo().LastTraj;
            records.push_back(std::move(record));
        }
    }
    SetArithmeticPath(TArithmeticPath::Fast);
    return records;
}

template <class T>
bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The first field in which two atoms differ, or nothing.
std::string AtomDifference(const TAtom& a, const TAtom& b)
{
    const std::pair<const char*, bool> fields[] = {
        {"HopSize", a.HopSize == b.HopSize},
        {"SampleCount", a.SampleCount == b.SampleCount},
        {"Samples", SameBits(a.Samples, b.Samples)},
        {"Quiet", a.Quiet == b.Quiet},
        {"MainTone", SameBits(a.MainTone, b.MainTone)},
        {"Voicing", SameBits(a.Voicing, b.Voicing)},
        {"Energy", SameBits(a.Energy, b.Energy)},
        {"Level", SameBits(a.Level, b.Level)},
        {"Spectrum", SameBits(a.Spectrum, b.Spectrum)},
        {"Bands", SameBits(a.Bands, b.Bands)},
        {"Envelope", SameBits(a.Envelope, b.Envelope)},
        {"EnvelopeBytes", SameBits(a.EnvelopeBytes, b.EnvelopeBytes)},
    };
    for (const auto& [name, same] : fields) {
        if (!same)
            return name;
    }
    return {};
}

void ExpectSameRecords(const TUtteranceRecord& fast, const TUtteranceRecord& reference, const std::string& file)
{
    SCOPED_TRACE(file);
    ASSERT_EQ(fast.atoms.size(), reference.atoms.size());
    for (size_t i = 0; i < fast.atoms.size(); ++i)
        ASSERT_EQ(AtomDifference(fast.atoms[i], reference.atoms[i]), "") << "atom " << i;

    const TCommandTraj& a = fast.trajectory;
    const TCommandTraj& b = reference.trajectory;
    EXPECT_EQ(a.PhonemeCount, b.PhonemeCount);
    EXPECT_EQ(a.Ids, b.Ids);
    EXPECT_EQ(a.Names, b.Names);
    ASSERT_EQ(a.Rows.size(), b.Rows.size());
    for (size_t row = 0; row < a.Rows.size(); ++row)
        ASSERT_TRUE(SameBits(a.Rows[row], b.Rows[row])) << "trajectory row " << row;

    EXPECT_EQ(fast.result.Recognized, reference.result.Recognized);
    EXPECT_EQ(fast.result.CommandName, reference.result.CommandName);
    EXPECT_TRUE(SameBits(fast.result.Like, reference.result.Like));
    EXPECT_TRUE(SameBits(fast.result.Distance, reference.result.Distance));
    ASSERT_EQ(fast.result.Models.size(), reference.result.Models.size());
    for (size_t m = 0; m < fast.result.Models.size(); ++m)
        EXPECT_TRUE(SameBits(fast.result.Models[m].Score, reference.result.Models[m].Score))
            << fast.result.Models[m].Name;
}

class ArithmeticPaths : public testing::TestWithParam<std::string> {};

TEST_P(ArithmeticPaths, RecognizeEveryUtteranceAlike)
{
    const std::string models = GetParam();
    if (!fs::is_directory(models))
        GTEST_SKIP() << models << " is not there";
    std::vector<std::string> files = WavFiles(fs::path(PARLANTO_GOLDEN_DIR) / "wav");
    const std::vector<std::string> examples = WavFiles(fs::path(PARLANTO_SOURCE_DIR) / "examples");
    files.insert(files.end(), examples.begin(), examples.end());
    ASSERT_FALSE(files.empty());
    const TempDir noisy;
    const std::string golden = std::string(PARLANTO_GOLDEN_DIR) + "/wav/";
    files.push_back(noisy.WriteWav("open.wav", Noisy(golden + "open_test1.wav", 300, 1)));
    files.push_back(noisy.WriteWav("vowel.wav", Noisy(golden + "vowel_o.wav", 1500, 2)));
    files.push_back(noisy.WriteWav("stop.wav", Noisy(golden + "stop_train1.wav", 4000, 3)));

    const std::vector<TUtteranceRecord> reference = RecognizeAll(models, files, TArithmeticPath::Reference);
    // The fast path four doubles at a time where this processor can, and two at a time as everywhere else.
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide vectors allowed" : "wide vectors off");
        const std::vector<TUtteranceRecord> fast = [&] {
            const TVectorWidth width(wide);
            return RecognizeAll(models, files, TArithmeticPath::Fast);
        }();
        ASSERT_EQ(fast.size(), reference.size());
        size_t atoms = 0;
        for (size_t i = 0; i < files.size(); ++i) {
            ExpectSameRecords(fast[i], reference[i], files[i]);
            atoms += fast[i].atoms.size();
        }
        EXPECT_GT(atoms, 1000u);   // the comparison covered real speech, not empty utterances
    }
}

INSTANTIATE_TEST_SUITE_P(ModelSets, ArithmeticPaths,
                         testing::Values(std::string(PARLANTO_GOLDEN_DIR) + "/models/",
                                         std::string(PARLANTO_SOURCE_DIR) + "/Models/"),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.index == 0 ? std::string("ReferenceModels") : std::string("ShippedModels");
                         });

}  // namespace
