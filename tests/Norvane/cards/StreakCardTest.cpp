#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/StreakCard.h"
#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

ProductivityStreak streakOf(std::int64_t days, std::int64_t longest = 0, bool active = true) {
    ProductivityStreak streak;
    streak.currentStreak = days;
    streak.longestStreak = longest;
    streak.isActive = active;
    streak.streakStartDate = testing::daysAgo(static_cast<int>(days));
    return streak;
}

TEST(StreakCard, FlameMessageAndWayToTheNextMilestoneByStreakLength) {
    const QColor dim = Palette::withOpacity(Palette::amber(), 0.6);
    const QColor warm = Palette::withOpacity(Palette::amber(), 0.8);
    const struct {
        std::int64_t days;
        QColor flame;
        std::optional<QString> message;
        std::optional<double> progress;
        std::optional<QString> toGo;
    } cases[] = {
        {0, Palette::textSecondary(), std::nullopt, 0.0, "7 days to go"},
        {1, dim, "Keep going!", 1.0 / 7, "6 days to go"},
        {6, dim, "Keep going!", 6.0 / 7, "1 days to go"},
        {7, warm, "One week strong!", 0.0, "7 days to go"},
        {13, warm, "One week strong!", 6.0 / 7, "1 days to go"},
        {29, warm, "Two weeks of momentum!", 15.0 / 16, "1 days to go"},
        {30, Palette::amber(), "A month of consistency!", 0.0, "30 days to go"},
        {364, Palette::amber(), "Half year champion!", 184.0 / 185, "1 days to go"},
        {365, Palette::amber(), "Legendary year-long streak!", std::nullopt, std::nullopt},
        {1000, Palette::amber(), "Legendary year-long streak!", std::nullopt, std::nullopt},
    };
    for (const auto& entry : cases) {
        const ProductivityStreak streak = streakOf(entry.days);
        EXPECT_EQ(StreakCard::flameColor(streak), entry.flame) << entry.days;
        EXPECT_EQ(StreakCard::milestoneMessage(streak), entry.message) << entry.days;
        EXPECT_EQ(StreakCard::progressTowardNext(streak), entry.progress) << entry.days;
        EXPECT_EQ(StreakCard::daysToGoText(streak), entry.toGo) << entry.days;
    }
    EXPECT_EQ(StreakCard::flameColor(std::nullopt), Palette::textSecondary());
    EXPECT_TRUE(StreakCard::showsBest(streakOf(0, 12)));
    EXPECT_FALSE(StreakCard::showsBest(streakOf(12, 12)));
    EXPECT_FALSE(StreakCard::showsBest(streakOf(5, 0)));
    EXPECT_FALSE(StreakCard::startedText(streakOf(0)).has_value());
    ProductivityStreak unknownStart = streakOf(400);
    unknownStart.streakStartDate.reset();
    EXPECT_FALSE(StreakCard::startedText(unknownStart).has_value());
}

using StreakCardWidget = testing::ComponentTest;

TEST_F(StreakCardWidget, BodyFollowsTheStreakFromNoneToLegendary) {
    StreakCard card(std::nullopt);
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Start Your Streak")));
    EXPECT_FALSE(card.activeBadge().isVisible());

    card.setStreak(streakOf(6, 21));
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Keep going!")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Next: 1 Week")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("21")));
    const auto* bar = card.findChild<ProgressTrack*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_NEAR(bar->fraction(), 6.0 / 7, 1e-9);
    EXPECT_EQ(bar->goalMarker(), QStringLiteral("\U0001F525"));
    EXPECT_TRUE(card.activeBadge().isVisible());
    EXPECT_EQ(card.flame().color(), Palette::withOpacity(Palette::amber(), 0.6));

    card.setStreak(streakOf(365, 365, false));
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Legendary Status")));
    EXPECT_EQ(card.findChild<ProgressTrack*>(), nullptr);
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Best")));
    EXPECT_FALSE(card.activeBadge().isVisible());
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("\U0001F31F")));
}

} // namespace
} // namespace norvane::app
