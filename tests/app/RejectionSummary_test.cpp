#include "RejectionSummary.h"

#include <gtest/gtest.h>

namespace {

TEvalAnswer Spoken(const std::string& speaker, TSpokenKind kind, bool right, double like, bool accepted = true)
{
    TEvalAnswer answer;
    answer.Spoken = {"x.wav", speaker, "cmd", "go", 5};
    answer.Kind = kind;
    answer.Recognized = true;
    answer.Answer = right ? "go" : "stop";
    answer.Like = like;
    answer.Distance = like / 2;
    answer.Accepted = accepted;
    return answer;
}

// Speaker a: three right answers (one rejected), one wrong one accepted, an unknown word accepted and a noise
// rejected; speaker b: a right answer, an unknown word rejected and a noise that gave no result.
TEvalRun JudgedRun()
{
    TEvalRun run;
    run.Answers = {
        Spoken("a", TSpokenKind::Command, true, 0.9),      Spoken("a", TSpokenKind::Command, true, 0.8),
        Spoken("a", TSpokenKind::Command, true, 0.3, false), Spoken("a", TSpokenKind::Command, false, 0.7),
        Spoken("a", TSpokenKind::UnknownWord, false, 0.85), Spoken("a", TSpokenKind::NonSpeech, false, 0.1, false),
        Spoken("b", TSpokenKind::Command, true, 0.6),      Spoken("b", TSpokenKind::UnknownWord, false, 0.2, false),
    };
    TEvalAnswer silent = Spoken("b", TSpokenKind::NonSpeech, false, 0.0);
    silent.Recognized = false;
    run.Answers.push_back(silent);
    return run;
}

TEST(RejectionSummary, CountsPerSpeakerAndOverall)
{
    const TRejectionSummary summary = SummarizeRejection(JudgedRun());
    ASSERT_EQ(summary.Speakers.size(), 2u);
    const TRejectionCounts& a = summary.Speakers[0];
    EXPECT_EQ(a.Speaker, "a");
    EXPECT_EQ(a.Commands, 4u);
    EXPECT_EQ(a.Right, 3u);
    EXPECT_EQ(a.RightRejected, 1u);
    EXPECT_EQ(a.Accepted, 3u);
    EXPECT_EQ(a.AcceptedRight, 2u);
    EXPECT_EQ(a.UnknownAccepted, 1u);
    EXPECT_EQ(a.NonSpeechAccepted, 0u);
    const TRejectionCounts& all = summary.Overall;
    EXPECT_EQ(all.Right, 4u);
    EXPECT_EQ(all.Unknown, 2u);
    EXPECT_EQ(all.UnknownAccepted, 1u);
    EXPECT_EQ(all.NonSpeech, 2u);
    EXPECT_EQ(all.NonSpeechAccepted, 0u) << "a clip without result is never a command";
}

// Right answers' Like: 0.3 0.6 0.8 0.9; unknown words 0.2 and 0.85; non-speech 0.1 and one without result.
TEST(RejectionSummary, SeparationAndThresholdsComeFromTheRightAnswers)
{
    const TRejectionSummary summary = SummarizeRejection(JudgedRun());
    ASSERT_EQ(summary.Scores.size(), 2u);
    const TScoreSeparation& like = summary.Scores[0];
    EXPECT_EQ(like.Score, "Like");
    EXPECT_DOUBLE_EQ(*like.UnknownAuc, 5.0 / 8.0);
    EXPECT_DOUBLE_EQ(*like.NonSpeechAuc, 1.0);
    ASSERT_EQ(like.Points.size(), 3u);
    for (const TOperatingPoint& point : like.Points) {   // with four right answers each share rejects none
        EXPECT_EQ(point.Threshold, 0.3);
        EXPECT_EQ(point.UnknownAccepted, 0.5);
        EXPECT_EQ(point.NonSpeechAccepted, 0.0) << "counted over both clips, the silent one included";
    }
    EXPECT_EQ(summary.Scores[1].Points[0].Threshold, 0.15);
}

}  // namespace
