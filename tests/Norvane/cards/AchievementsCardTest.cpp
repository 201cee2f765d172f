#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/AchievementMedal.h"
#include "Norvane/cards/AchievementsCard.h"
#include "Norvane/cards/kit/ChevronButton.h"
#include "Norvane/cards/kit/FilterChip.h"
#include "core/analytics/AchievementCalculator.h"

#include <QApplication>
#include <QTest>

namespace norvane::app {
namespace {

using Category = Achievement::Category;

QStringList ids(const AchievementsCard::Achievements& achievements) {
    QStringList result;
    for (const Achievement& achievement : achievements) {
        result.append(QString::fromStdString(achievement.id));
    }
    return result;
}

Achievement badge(const char* id, bool earned, std::optional<double> progress) {
    Achievement result;
    result.id = id;
    result.isEarned = earned;
    result.progress = progress;
    return result;
}

TEST(AchievementsCard, GroupsKeepTheInputOrder) {
    const AchievementsCard::Achievements list = {badge("a", true, 0.2),           badge("b", false, 0.0),
                                                 badge("c", false, std::nullopt), badge("d", false, 0.5),
                                                 badge("e", true, std::nullopt),  badge("f", false, 0.999)};
    EXPECT_EQ(ids(AchievementsCard::earned(list)), (QStringList{"a", "e"}));
    EXPECT_EQ(ids(AchievementsCard::inProgress(list)), (QStringList{"d", "f"}));
    EXPECT_EQ(ids(AchievementsCard::locked(list)), (QStringList{"b", "c"}));
    EXPECT_EQ(AchievementsCard::countText(list), QStringLiteral("2/6"));
    EXPECT_EQ(AchievementsCard::countText({}), QStringLiteral("0/0"));
    EXPECT_EQ(AchievementsCard::progressText(0.29), QStringLiteral("29%"));
}

QStringList medalTitles(const QWidget& card, AchievementMedal::Kind kind) {
    QStringList titles;
    for (const AchievementMedal* medal : card.findChildren<AchievementMedal*>()) {
        if (medal->kind() == kind && medal->isVisibleTo(&card)) {
            titles.append(medal->title());
        }
    }
    return titles;
}

using AchievementsWidget = testing::ComponentTest;

TEST_F(AchievementsWidget, RankingChipNarrowsTheGroupsButNotTheCount) {
    // 12,000 lines, a 40-day streak, the 80th percentile, 45% retention.
    AchievementsCard card(AchievementCalculator::calculate(12'000, 40, 12, 80, 45.0));
    testing::showAndSettle(card, 560);
    EXPECT_EQ(card.shownCount(), QStringLiteral("5/11"));
    EXPECT_EQ(medalTitles(card, AchievementMedal::Kind::earned),
              (QStringList{"First Steps", "Getting Serious", "Month Strong", "Above Average", "High Performer"}));
    EXPECT_EQ(medalTitles(card, AchievementMedal::Kind::locked).size(), 0) << "every other badge has progress";

    FilterChip* ranking = card.chips()[3];
    ASSERT_EQ(ranking->text(), QStringLiteral("Ranking"));
    QTest::mouseClick(ranking, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(card.selectedCategory(), Category::percentile);
    EXPECT_TRUE(ranking->isSelected());
    EXPECT_FALSE(card.chips()[0]->isSelected());
    EXPECT_EQ(card.shownCount(), QStringLiteral("5/11"));
    EXPECT_EQ(medalTitles(card, AchievementMedal::Kind::earned), (QStringList{"Above Average", "High Performer"}));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Elite Developer")));
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Code Machine")));

    QTest::mouseClick(&card.expandButton(), Qt::LeftButton);
    EXPECT_FALSE(card.isExpanded());
    EXPECT_EQ(card.shownCount(), QStringLiteral("5/11"));
    EXPECT_FALSE(card.chips()[0]->isVisible());
}

// Columns of the minimum width cut the longer titles beside empty room, more of them the wider
// the window: a column is as wide as the widest badge.
TEST_F(AchievementsWidget, EachBadgeTitleGetsItsWidthAtEveryCardWidth) {
    AchievementsCard earned(AchievementCalculator::calculate(2'000'000, 400, 400, 99, 90.0));
    AchievementsCard locked(AchievementCalculator::calculate(0, 0, 0, 0, 0.0));
    for (const int width : {360, 900, 1700}) {
        for (AchievementsCard* card : {&earned, &locked}) {
            testing::showAndSettle(*card, width);
            const auto medals = card->findChildren<AchievementMedal*>();
            ASSERT_FALSE(medals.isEmpty());
            for (const AchievementMedal* medal : medals) {
                EXPECT_EQ(medal->shownTitle().toStdString(), medal->title().toStdString()) << width;
            }
        }
    }
    EXPECT_TRUE(medalTitles(earned, AchievementMedal::Kind::earned).contains("Quarter Champion"));
}

TEST_F(AchievementsWidget, AtMostFourLockedBadgesAndAnEmptyState) {
    AchievementsCard locked(AchievementCalculator::calculate(0, 0, 0, 0, 0.0));
    testing::showAndSettle(locked, 560);
    EXPECT_EQ(medalTitles(locked, AchievementMedal::Kind::locked),
              (QStringList{"First Steps", "Getting Serious", "Code Machine", "Legendary Coder"}));
    EXPECT_EQ(locked.findChild<AchievementMedal*>()->toolTip(),
              QStringLiteral("Write your first 1,000 lines of code\nRequirement: 1K lines"));
    AchievementsCard empty({});
    testing::showAndSettle(empty, 560);
    EXPECT_FALSE(empty.shownCount().has_value());
    EXPECT_TRUE(testing::showsText(empty, QStringLiteral("Start Earning Badges")));
    EXPECT_FALSE(empty.chips()[0]->isVisible());
}

} // namespace
} // namespace norvane::app
