#include "Evaluation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "EvalManifest.h"
#include "FileRecognizer.h"
#include "TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kGolden = PARLANTO_GOLDEN_DIR;

// The reference utterances as a corpus: speaker s says open, close and stop three times (train1, train2,
// test1 as takes 1, 2, 3); a clean token numbered 0 is not used. Speaker t has a silent first take of hush.
class EvalCorpus : public testing::Test {
protected:
    EvalCorpus()
    {
        std::string manifest = "path,speaker,vocab,word,rep,noise\n";
        for (const std::string word : {"open", "close", "stop"}) {
            manifest += kGolden + "/wav/" + word + "_train1.wav,s,cmd," + word + ",1,none\n";
            manifest += kGolden + "/wav/" + word + "_train2.wav,s,cmd," + word + ",2,none\n";
            manifest += kGolden + "/wav/" + word + "_test1.wav,s,cmd," + word + ",3,none\n";
        }
        manifest += kGolden + "/wav/vowel_a.wav,s,cmd,open,0,none\n";
        dir.WriteWav("corpus/t/silence.wav", std::vector<int16_t>(22050, 0));
        manifest += "t/silence.wav,t,cmd,hush,1,none\n";
        manifest += kGolden + "/wav/vowel_u.wav,t,cmd,hush,2,none\n";
        takes = ReadEvalManifest(dir.Write("corpus/manifest.csv", manifest));
        settings.PhonemeModelsDir = kGolden + "/models/";
    }

    TempDir dir;
    std::vector<TEvalTake> takes;
    TEvalSettings settings;
};

TEST_F(EvalCorpus, ManifestPathsAreRelativeToTheManifestUnlessAbsolute)
{
    ASSERT_EQ(takes.size(), 12u);
    EXPECT_EQ(takes[0].Path, kGolden + "/wav/open_train1.wav");
    EXPECT_EQ(takes[10].Path, dir.Dir() + "corpus/t/silence.wav");
    EXPECT_EQ(takes[10].Speaker, "t");
    EXPECT_EQ(takes[10].Vocab, "cmd");
    EXPECT_EQ(takes[10].Word, "hush");
    EXPECT_EQ(takes[10].Take, 1);
}

// Enrolling takes 1 and 2 must save the very trajectories of the reference model folder, so every later take
// gets the reference result, number for number; the reference folder's own command models are not copied.
TEST_F(EvalCorpus, EnrolsAsSaveAsModelDoesAndRecognizesTheLaterTakes)
{
    takes.resize(10);   // speaker s only
    settings.EnrolledTakes = 2;
    const TEvalRun run = RunEvaluation(takes, settings);

    const struct { const char* word; double like, distance; } expected[] = {
        {"open", 0.95054095300370167, 0.50876128919199515},
        {"close", 0.98399555710454101, 0.33583252738777014},
        {"stop", 0.88588430514765071, 0.24411095981384023},
    };
    ASSERT_EQ(run.Answers.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const TEvalAnswer& answer = run.Answers[i];
        EXPECT_EQ(answer.Spoken.Word, expected[i].word);
        EXPECT_EQ(answer.Spoken.Take, 3);
        EXPECT_TRUE(answer.Right()) << answer.Answer;
        EXPECT_EQ(answer.Answer, expected[i].word) << "the vocabulary's word, not the upper-cased command name";
        EXPECT_EQ(answer.Like, expected[i].like);
        EXPECT_EQ(answer.Distance, expected[i].distance);
    }
    EXPECT_EQ(run.UnusedTakes, 1u);
    EXPECT_TRUE(run.NotEnrolled.empty());
}

// Classic matching answers every later take as a recognizer matching the reference folder does (its examples
// were saved with the classic trim); aligned matching saves and answers with its own trim, and gets them right.
TEST_F(EvalCorpus, TheChosenMatcherAnswers)
{
    takes.resize(10);
    settings.EnrolledTakes = 2;
    for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
        settings.Match = mode;
        const TEvalRun run = RunEvaluation(takes, settings);
        ASSERT_EQ(run.Answers.size(), 3u);
        for (const TEvalAnswer& answer : run.Answers) {
            EXPECT_TRUE(answer.Right()) << MatchModeName(mode);
            if (mode != TMatchMode::Classic)
                continue;
            TFileRecognizer reference(kGolden + "/models/", mode);
            const TFileResult expected = reference.Recognize(answer.Spoken.Path);
            EXPECT_EQ(answer.Like, expected.Like);
            EXPECT_EQ(answer.Distance, expected.Distance);
        }
    }
}

// open and stop (the first and third word) are enrolled, close is an unknown word, and each non-speech clip
// meets every speaker's models once; each answer is judged by the rejection asked for.
TEST_F(EvalCorpus, UnknownWordsAreTheWordsBetweenTheEnrolledOnesAndClipsMeetEveryModelSet)
{
    takes.resize(10);
    settings.EnrolledTakes = 2;
    settings.Match = TMatchMode::Aligned;
    settings.UnknownWords = true;
    settings.NonSpeech = {kGolden + "/wav/vowel_e.wav"};
    settings.Rejection = TRejection{TRejection::TKind::Threshold, 0.99};
    const TEvalRun run = RunEvaluation(takes, settings);

    std::string kinds;
    for (const TEvalAnswer& answer : run.Answers) {
        const char* kind = answer.Kind == TSpokenKind::Command       ? "command"
                           : answer.Kind == TSpokenKind::UnknownWord ? "unknown"
                                                                     : "noise";
        kinds += answer.Spoken.Word + ":" + kind + (answer.Accepted ? "+" : "-") + " ";
    }
    EXPECT_EQ(kinds, "open:command- close:unknown- stop:command- :noise- ");
    EXPECT_EQ(run.Answers.back().Spoken.Path, kGolden + "/wav/vowel_e.wav");
    EXPECT_EQ(run.Answers.back().Spoken.Speaker, "s");
    EXPECT_NE(run.Answers[1].Answer, "close") << "close has no model";

    settings.Rejection = TRejection{TRejection::TKind::Off};
    for (const TEvalAnswer& answer : RunEvaluation(takes, settings).Answers)
        EXPECT_TRUE(answer.Accepted) << answer.Spoken.Path;
}

// Points TMPDIR, where scratch folders go, elsewhere for as long as it lives.
class TTempDirOverride {
public:
    explicit TTempDirOverride(const std::string& dir)
    {
        if (const char* previous = std::getenv("TMPDIR"))
            previous_ = previous;
        setenv("TMPDIR", dir.c_str(), 1);
    }
    ~TTempDirOverride()
    {
        if (previous_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", previous_.c_str(), 1);
    }

private:
    std::string previous_;
};

TEST_F(EvalCorpus, EnrolmentWithoutResultIsReportedAndScratchFoldersAreRemoved)
{
    fs::create_directories(dir.Path() / "tmp");
    settings.EnrolledTakes = 1;
    TEvalRun run;
    {
        const TTempDirOverride scratch(dir.Dir() + "tmp");
        run = RunEvaluation(takes, settings);
    }

    ASSERT_EQ(run.NotEnrolled.size(), 1u);
    EXPECT_EQ(run.NotEnrolled[0].Word, "hush");
    ASSERT_EQ(run.Answers.size(), 7u);   // takes 2 and 3 of three words, take 2 of hush
    const TEvalAnswer& hush = run.Answers.back();
    EXPECT_EQ(hush.Spoken.Speaker, "t");
    EXPECT_FALSE(hush.Right()) << "speaker t has no command models";
    EXPECT_TRUE(fs::is_empty(dir.Path() / "tmp"));
}

}  // namespace
