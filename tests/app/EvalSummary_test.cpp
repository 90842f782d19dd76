#include "EvalSummary.h"

#include <gtest/gtest.h>

namespace {

TEvalAnswer Answer(const std::string& speaker, const std::string& vocab, const std::string& word,
                   const std::string& answer, double like, double distance)
{
    TEvalAnswer result;
    result.Spoken = {speaker + "/" + word + ".wav", speaker, vocab, word, 4};
    result.Recognized = !answer.empty();
    result.Answer = answer;
    result.Like = like;
    result.Distance = distance;
    return result;
}

TEST(SpreadOf, MeanAndQuartilesInterpolateBetweenRanks)
{
    const struct { std::vector<double> values; TSpread spread; } cases[] = {
        {{}, {0, 0, 0, 0, 0}},
        {{0.5}, {1, 0.5, 0.5, 0.5, 0.5}},
        {{0.4, 0.1, 0.3, 0.2}, {4, 0.25, 0.175, 0.25, 0.325}},
        {{1, 2, 3, 4, 5}, {5, 3, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        const TSpread spread = SpreadOf(c.values);
        EXPECT_EQ(spread.Count, c.spread.Count);
        EXPECT_DOUBLE_EQ(spread.Mean, c.spread.Mean);
        EXPECT_DOUBLE_EQ(spread.Q1, c.spread.Q1);
        EXPECT_DOUBLE_EQ(spread.Median, c.spread.Median);
        EXPECT_DOUBLE_EQ(spread.Q3, c.spread.Q3);
    }
}

TEST(Summarize, AccuracyConfusionAndTheSpreadOfRightAndWrongAnswers)
{
    TEvalRun run;
    run.Answers = {
        Answer("m", "V1", "go", "go", 0.9, 0.3),     Answer("m", "V1", "go", "stop", 0.7, 0.1),
        Answer("m", "V1", "stop", "stop", 0.8, 0.2), Answer("m", "V2", "one", "", 0, 0),
        Answer("f", "V1", "stop", "STRAY", 0.6, 0.05), Answer("f", "V1", "go", "go", 0.95, 0.4),
    };
    const TEvalSummary summary = Summarize(run);

    const struct { const char* speaker; const char* vocab; size_t right, total; } accuracy[] = {
        {"m", "V1", 2, 3}, {"m", "V2", 0, 1}, {"f", "V1", 1, 2},
    };
    ASSERT_EQ(summary.Groups.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(summary.Groups[i].Speaker, accuracy[i].speaker);
        EXPECT_EQ(summary.Groups[i].Vocab, accuracy[i].vocab);
        EXPECT_EQ(summary.Groups[i].Right, accuracy[i].right);
        EXPECT_EQ(summary.Groups[i].Total, accuracy[i].total);
    }
    ASSERT_EQ(summary.Speakers.size(), 2u);
    EXPECT_EQ(summary.Speakers[0].Speaker, "m");
    EXPECT_EQ(summary.Speakers[0].Vocab, "");
    EXPECT_EQ(summary.Speakers[0].Right, 2u);
    EXPECT_EQ(summary.Speakers[0].Total, 4u);
    EXPECT_EQ(summary.Speakers[1].Right, 1u);
    EXPECT_EQ(summary.Speakers[1].Total, 2u);
    ASSERT_EQ(summary.Vocabularies.size(), 2u);
    EXPECT_EQ(summary.Vocabularies[0].Right, 3u);
    EXPECT_EQ(summary.Vocabularies[0].Total, 5u);
    EXPECT_EQ(summary.Vocabularies[0].Speaker, "");
    EXPECT_EQ(summary.Overall.Right, 3u);
    EXPECT_EQ(summary.Overall.Total, 6u);
    EXPECT_DOUBLE_EQ(summary.Overall.Fraction(), 0.5);

    ASSERT_EQ(summary.Confusions.size(), 2u);
    const TConfusion& v1 = summary.Confusions[0];
    EXPECT_EQ(v1.Words, (std::vector<std::string>{"go", "stop"}));
    EXPECT_EQ(v1.Answers, (std::vector<std::string>{"go", "stop", "STRAY"}));
    EXPECT_EQ(v1.Counts, (std::vector<std::vector<size_t>>{{2, 1, 0}, {0, 1, 1}}));
    const TConfusion& v2 = summary.Confusions[1];
    EXPECT_EQ(v2.Answers, (std::vector<std::string>{"one", TConfusion::kNoResult}));
    EXPECT_EQ(v2.Counts, (std::vector<std::vector<size_t>>{{0, 1}}));

    EXPECT_EQ(summary.LikeRight.Count, 3u);
    EXPECT_DOUBLE_EQ(summary.LikeRight.Median, 0.9);
    EXPECT_EQ(summary.LikeWrong.Count, 2u) << "an answer without a result has no Like";
    EXPECT_DOUBLE_EQ(summary.LikeWrong.Mean, 0.65);
    EXPECT_DOUBLE_EQ(summary.DistanceRight.Mean, 0.3);
    EXPECT_DOUBLE_EQ(summary.DistanceWrong.Q3, 0.0875);
    EXPECT_EQ(summary.DistanceSeparation, 1.0) << "every right answer's Distance is above every wrong one's";
}

TEST(Summarize, EnrolmentTakesWithoutResultCountInEveryRowOfTheirSpeakerAndVocabulary)
{
    TEvalRun run;
    run.Answers = {Answer("m", "V1", "go", "go", 0.9, 0.3), Answer("f", "V1", "go", "go", 0.9, 0.3)};
    run.NotEnrolled = {{"m/up1.wav", "m", "V1", "up", 1}, {"m/up2.wav", "m", "V1", "up", 2},
                       {"f/two1.wav", "f", "V2", "two", 1}};
    const TEvalSummary summary = Summarize(run);

    const struct { const std::vector<TAccuracy>& rows; std::vector<size_t> notEnrolled; } cases[] = {
        {summary.Groups, {2, 0, 1}},   // m V1, f V1, and f V2, which has no answer
        {summary.Speakers, {2, 1}},
        {summary.Vocabularies, {2, 1}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.rows.size(), c.notEnrolled.size());
        for (size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(c.rows[i].NotEnrolled, c.notEnrolled[i]) << c.rows[i].Speaker << " " << c.rows[i].Vocab;
    }
    EXPECT_EQ(summary.Overall.NotEnrolled, 3u);
    EXPECT_EQ(summary.Groups[2].Total, 0u);
}

TEST(Separation, ChanceThatAMemberOfTheFirstGroupIsTheHigher)
{
    const struct {
        std::vector<double> higher, lower;
        std::optional<double> separation;
    } cases[] = {
        {{0.5, 0.4}, {0.1, 0.3}, 1.0},
        {{0.1}, {0.5, 0.4}, 0.0},
        {{0.2, 0.2}, {0.2}, 0.5},
        {{0.3, 0.1}, {0.2, 0.1}, 0.625},   // wins 0.3>0.2, 0.3>0.1, tie 0.1=0.1: 2.5 of 4
        {{0.3}, {}, std::nullopt},
        {{}, {0.3}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Separation(c.higher, c.lower), c.separation);
}

}  // namespace
