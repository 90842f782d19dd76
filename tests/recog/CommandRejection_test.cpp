#include "CommandRejection.h"

#include <gtest/gtest.h>

#include "TrajectoryMaker.h"

namespace {

using TKind = TRejection::TKind;

TEST(CommandRejection, NamesAreTheThreeWordsOrALikeFromZeroToOne)
{
    const struct {
        const char* text;
        std::optional<TKind> kind;
        double like;
    } cases[] = {
        {"auto", TKind::Auto, 0.0},  {"on", TKind::On, 0.0},         {"off", TKind::Off, 0.0},
        {"0.4", TKind::Threshold, 0.4}, {"0", TKind::Threshold, 0.0}, {"1", TKind::Threshold, 1.0},
        {"1.01", std::nullopt, 0.0}, {"-0.1", std::nullopt, 0.0},     {"0.4x", std::nullopt, 0.0},
        {"", std::nullopt, 0.0},     {"AUTO", std::nullopt, 0.0},     {"nan", std::nullopt, 0.0},
    };
    for (const auto& c : cases) {
        const std::optional<TRejection> rejection = RejectionNamed(c.text);
        ASSERT_EQ(rejection.has_value(), c.kind.has_value()) << c.text;
        if (rejection) {
            EXPECT_EQ(rejection->Kind, *c.kind) << c.text;
            EXPECT_EQ(rejection->Like, c.like) << c.text;
        }
    }
}

// A word (rows 2..5, score sum 1) over a floor of the given score sum.
TCommandTraj WordOverFloor(double floor)
{
    std::vector<std::vector<double>> rows(20, {floor / 2, floor / 2});
    for (size_t row = 2; row < 6; ++row)
        rows[row] = {0.7, 0.3};
    return MakeTraj({1, 2}, rows);
}

// Auto leaves classic answers as they always were; on and a given Like reject in both modes.
TEST(CommandRejection, AutoRejectsWithAlignedMatchingOnly)
{
    const TCommandTraj word = WordOverFloor(0.01);
    const TRejection automatic{TKind::Auto};
    const TRejection on{TKind::On};
    EXPECT_TRUE(RejectsIn(automatic, TMatchMode::Aligned));
    EXPECT_FALSE(RejectsIn(automatic, TMatchMode::Classic));
    EXPECT_FALSE(AcceptanceThreshold(automatic, TMatchMode::Classic, word));
    EXPECT_EQ(AcceptanceThreshold(on, TMatchMode::Aligned, word), AcceptanceThreshold(automatic, TMatchMode::Aligned, word));
    EXPECT_TRUE(AcceptanceThreshold(on, TMatchMode::Classic, word));
    for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
        EXPECT_FALSE(RejectsIn(TRejection{TKind::Off}, mode));
        EXPECT_FALSE(AcceptanceThreshold(TRejection{TKind::Off}, mode, word));
        EXPECT_EQ(AcceptanceThreshold(TRejection{TKind::Threshold, 0.3}, mode, word), 0.3);
    }
}

// Noise under a word lowers its Like: the bar falls with the floor's rise, and holds beyond both ends.
TEST(CommandRejection, TheAlignedBarIsLowerInNoiseThanInAQuietRoom)
{
    const TRejection on{TKind::On};
    const auto bar = [&on](double floor) { return *AcceptanceThreshold(on, TMatchMode::Aligned, WordOverFloor(floor)); };
    EXPECT_EQ(bar(0.0), bar(1e-6)) << "digital silence is a quiet room";
    EXPECT_EQ(bar(1e-6), bar(1e-5));
    EXPECT_GT(bar(1e-5), bar(1e-3));
    EXPECT_GT(bar(1e-3), bar(1e-2));
    EXPECT_EQ(bar(1e-2), bar(0.1));
    EXPECT_EQ(bar(0.1), *AcceptanceThreshold(on, TMatchMode::Aligned, TCommandTraj{}));
    EXPECT_EQ(*AcceptanceThreshold(on, TMatchMode::Classic, WordOverFloor(0.0)),
              *AcceptanceThreshold(on, TMatchMode::Classic, WordOverFloor(0.1)));
}

TEST(CommandRejection, AnUtteranceIsACommandFromTheThresholdUp)
{
    const TCommandTraj word = WordOverFloor(0.01);
    const TRejection at{TKind::Threshold, 0.5};
    EXPECT_TRUE(IsAccepted(0.5, word, at, TMatchMode::Aligned));
    EXPECT_FALSE(IsAccepted(0.4999, word, at, TMatchMode::Aligned));
    EXPECT_TRUE(IsAccepted(0.0, word, TRejection{TKind::Off}, TMatchMode::Aligned));
    EXPECT_TRUE(IsAccepted(-1.0, word, at, TMatchMode::Aligned));   // no command models: nothing to reject
}

}  // namespace
