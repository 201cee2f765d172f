#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/WorkPatternsCard.h"
#include "Norvane/cards/WorkPatternsHeatmap.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include <limits>

namespace norvane::app {
namespace {

using Heatmap = WorkPatternsHeatmap;

QStringList badgeLabels(const WorkPatterns& patterns) {
    QStringList labels;
    for (const WorkPatternsCard::Badge& badge : WorkPatternsCard::badges(patterns)) {
        labels.append(badge.label);
    }
    return labels;
}

TEST(WorkPatternsCard, LevelsBadgesAndTexts) {
    const struct {
        int count;
        int maximum;
        int level;
    } levels[] = {{0, 4, 0}, {1, 4, 2}, {2, 4, 3}, {3, 4, 4}, {4, 4, 4}, {1, 5, 1}, {1, 1, 4}, {0, 0, 0}};
    for (const auto& entry : levels) {
        EXPECT_EQ(Heatmap::level(entry.count, entry.maximum), entry.level) << entry.count << "/" << entry.maximum;
    }
    EXPECT_EQ(Heatmap::cellToolTip(0, 0, 1), QStringLiteral("Sunday 12am: 1 commits"));

    WorkPatterns patterns;
    patterns.totalCommits = 1;
    EXPECT_EQ(WorkPatternsCard::countText(patterns), QStringLiteral("1 commits analyzed"));
    EXPECT_EQ(badgeLabels(patterns), QStringList{"Regular Hours"});
    patterns.isEarlyBird = true;
    patterns.weekendPercentage = 25.0;
    EXPECT_EQ(badgeLabels(patterns), QStringList{"Early Bird"});
    patterns.isNightOwl = true;
    patterns.weekendPercentage = 25.4;
    EXPECT_EQ(badgeLabels(patterns), (QStringList{"Night Owl", "Weekend: 25%"}));
    patterns.weekendPercentage = std::numeric_limits<double>::infinity();
    EXPECT_EQ(badgeLabels(patterns), QStringList{"Night Owl"});
    patterns.totalCommits = 0;
    EXPECT_FALSE(WorkPatternsCard::countText(patterns).has_value());
}

using WorkPatternsWidget = testing::ComponentTest;

TEST_F(WorkPatternsWidget, HourLabelsStandOverTheirOwnColumns) {
    WorkPatterns patterns;
    patterns.totalCommits = 3;
    patterns.heatmap[2][15] = 3;
    patterns.peakHour = 15;
    WorkPatternsCard card(patterns);
    testing::showAndSettle(card, 560);
    const Heatmap* heatmap = card.heatmap();
    ASSERT_NE(heatmap, nullptr);
    for (const int hour : Heatmap::labelledHours) {
        EXPECT_DOUBLE_EQ(heatmap->hourLabelRect(hour).left(), heatmap->cellRect(0, hour).left()) << hour;
        EXPECT_DOUBLE_EQ(heatmap->hourLabelRect(hour).right(), heatmap->cellRect(0, hour + 3).right() + 1) << hour;
    }
    EXPECT_EQ(heatmap->cellRect(0, 23).right(), 292.0) << "a row is 28 for the day and 11 per hour";
    EXPECT_EQ(heatmap->cellRect(1, 0).top() - heatmap->cellRect(0, 0).top(), 14.0);
    const QPoint cell = heatmap->cellRect(2, 15).center().toPoint();
    QHelpEvent help(QEvent::ToolTip, cell, heatmap->mapToGlobal(cell));
    QApplication::sendEvent(const_cast<Heatmap*>(heatmap), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Tuesday 3pm: 3 commits"));
    EXPECT_FALSE(heatmap->cellAt(QPointF(5, heatmap->cellRect(2, 0).center().y())).has_value());
    EXPECT_LE(heatmap->width(), card.width());
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("3pm")));
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Peak Day")));
}

TEST_F(WorkPatternsWidget, WithoutCommitsAsksForHistory) {
    WorkPatternsCard card(WorkPatterns{});
    testing::showAndSettle(card, 560);
    EXPECT_EQ(card.heatmap(), nullptr);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Collect git history to analyze work patterns")));
}

} // namespace
} // namespace norvane::app
