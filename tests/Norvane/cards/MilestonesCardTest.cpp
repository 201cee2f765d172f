#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/MilestonesCard.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "tests/support/LocalDate.h"

#include <limits>

namespace norvane::app {
namespace {

using norvane::testing::localDate;

std::vector<MilestoneType> typesOf(const std::vector<Milestone>& milestones) {
    std::vector<MilestoneType> types;
    for (const Milestone& milestone : milestones) {
        types.push_back(milestone.type);
    }
    return types;
}

TEST(MilestonesCard, PercentageGridOrderTooltipAndEmptyState) {
    const struct {
        double progress;
        const char* text;
    } percentages[] = {{0.0, "0%"},    {0.29, "29%"}, {0.57, "57%"},
                       {0.999, "99%"}, {1.0, "100%"}, {std::numeric_limits<double>::quiet_NaN(), "--"}};
    for (const auto& entry : percentages) {
        EXPECT_EQ(MilestonesCard::percentageText(entry.progress), QString::fromLatin1(entry.text)) << entry.progress;
    }
    const platform::Date day = localDate(2024, 12, 28);
    const std::vector<Milestone> reached{
        Milestone(MilestoneType::sloc1k, day, 1, 0), Milestone(MilestoneType::value10k, day, 2, 0),
        Milestone(MilestoneType::sloc5k, day, 12, 0), Milestone(MilestoneType::value50k, day, 30, 0)};
    EXPECT_EQ(
        typesOf(MilestonesCard::gridOrder(reached)),
        (std::vector{MilestoneType::value10k, MilestoneType::value50k, MilestoneType::sloc1k, MilestoneType::sloc5k}));
    EXPECT_EQ(MilestonesCard::reachedTooltip(reached[2]), QStringLiteral("Reached 5K SLOC in 12 days on Dec 28, 2024"));
    MilestoneProgress nothing;
    EXPECT_FALSE(MilestonesCard::showsEmptyState(nothing)) << "a new project still heads for $10K";
    nothing.nextMilestone.reset();
    EXPECT_TRUE(MilestonesCard::showsEmptyState(nothing));
}

using MilestonesCardWidget = testing::ComponentTest;

TEST_F(MilestonesCardWidget, NextBoxFooterAndAGridOfFourCellsARow) {
    MilestonesCard card(MilestoneProgress{}, std::nullopt);
    testing::showAndSettle(card, 520);
    for (const char* text : {"Next: $10K", "0%", "$0", "$10K"}) {
        EXPECT_TRUE(testing::showsText(card, QString::fromLatin1(text))) << text;
    }
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Reached")));

    MilestoneProgress progress;
    for (const MilestoneType type : {MilestoneType::sloc1k, MilestoneType::value10k, MilestoneType::sloc5k,
                                     MilestoneType::sloc10k, MilestoneType::value50k}) {
        progress.reached.push_back(Milestone(type, testing::daysAgo(3), 3, 0));
    }
    progress.nextMilestone = MilestoneType::value100k;
    progress.progressToNext = 1.0;
    progress.currentValue = 23'400;
    card.setProgress(progress, 94);
    testing::showAndSettle(card, 520);
    for (const char* text : {"100%", "$23K", "$100K", "Avg: 94 days", "Reached"}) {
        EXPECT_TRUE(testing::showsText(card, QString::fromLatin1(text))) << text;
    }
    const auto* bar = card.findChild<ProgressTrack*>();
    EXPECT_DOUBLE_EQ(bar->fillWidth(), bar->width());
    QList<RoundedPanel*> cells;
    for (RoundedPanel* panel : card.findChildren<RoundedPanel*>()) {
        if (!panel->toolTip().isEmpty()) {
            cells.append(panel);
        }
    }
    ASSERT_EQ(cells.size(), 5);
    EXPECT_EQ(cells[3]->y(), cells[0]->y());
    EXPECT_GT(cells[4]->y(), cells[0]->y()) << "the fifth cell starts a second row";
    EXPECT_TRUE(cells[0]->toolTip().startsWith(QStringLiteral("Reached $10K in 3 days on ")));
}

} // namespace
} // namespace norvane::app
