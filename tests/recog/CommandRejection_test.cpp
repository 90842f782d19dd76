#include "CommandRejection.h"

#include <gtest/gtest.h>

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

// Auto leaves classic answers as they always were; on and a given Like reject in both modes.
TEST(CommandRejection, AutoRejectsWithAlignedMatchingOnly)
{
    const TRejection automatic{TKind::Auto};
    const TRejection on{TKind::On};
    EXPECT_TRUE(AcceptanceThreshold(automatic, TMatchMode::Aligned));
    EXPECT_FALSE(AcceptanceThreshold(automatic, TMatchMode::Classic));
    EXPECT_EQ(AcceptanceThreshold(on, TMatchMode::Aligned), AcceptanceThreshold(automatic, TMatchMode::Aligned));
    EXPECT_TRUE(AcceptanceThreshold(on, TMatchMode::Classic));
    for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned}) {
        EXPECT_FALSE(AcceptanceThreshold(TRejection{TKind::Off}, mode));
        EXPECT_EQ(AcceptanceThreshold(TRejection{TKind::Threshold, 0.3}, mode), 0.3);
    }
}

TEST(CommandRejection, AnUtteranceIsACommandFromTheThresholdUp)
{
    const TRejection at{TKind::Threshold, 0.5};
    EXPECT_TRUE(IsAccepted(0.5, at, TMatchMode::Aligned));
    EXPECT_FALSE(IsAccepted(0.4999, at, TMatchMode::Aligned));
    EXPECT_TRUE(IsAccepted(0.0, TRejection{TKind::Off}, TMatchMode::Aligned));
    EXPECT_TRUE(IsAccepted(-1.0, at, TMatchMode::Aligned));   // no command models: nothing to reject
}

}  // namespace
