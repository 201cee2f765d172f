#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/components/tiles/SummaryStatCard.h"

#include <QApplication>
#include <QEnterEvent>

namespace norvane::app {
namespace {

using SummaryRowWidget = testing::ComponentTest;

TEST_F(SummaryRowWidget, CardsShowTheirStatsAndShareTheRow) {
    SummaryRowView row(
        {SummaryStat(QStringLiteral("42"), QStringLiteral("Projects"), QStringLiteral("4 active"),
                     StatTrend::up(QStringLiteral("+12%")), QStringLiteral("All tracked projects")),
         SummaryStat(QStringLiteral("--"), QStringLiteral("Streak")),
         SummaryStat(QStringLiteral("3"), QStringLiteral("Commits"), std::nullopt, StatTrend::neutral())});
    testing::showAndSettle(row, 624);
    ASSERT_EQ(row.cards().size(), 3U);
    const SummaryStatCard& first = *row.cards()[0];
    EXPECT_EQ(first.valueLabel().text(), QStringLiteral("42"));
    EXPECT_TRUE(first.trendRow().isVisible());
    EXPECT_EQ(first.trendArrow().symbolName(), QStringLiteral("arrow.up"));
    EXPECT_EQ(first.trendText().text(), QStringLiteral("+12%"));
    EXPECT_TRUE(first.sublabel().isVisible());
    EXPECT_EQ(first.toolTip(), QStringLiteral("All tracked projects"));
    const SummaryStatCard& second = *row.cards()[1];
    EXPECT_EQ(second.valueLabel().color(), Palette::textSecondary());
    EXPECT_FALSE(second.trendRow().isVisible());
    EXPECT_FALSE(second.sublabel().isVisible());
    EXPECT_TRUE(second.toolTip().isEmpty());
    EXPECT_FALSE(row.cards()[2]->trendRow().isVisible());
    EXPECT_EQ(row.cards()[0]->width(), row.cards()[2]->width());
    EXPECT_EQ(row.cards()[1]->x() - row.cards()[0]->geometry().right() - 1, 12);
}

TEST_F(SummaryRowWidget, HoverChangesOnlyThatCard) {
    SummaryRowView row(
        {SummaryStat(QStringLiteral("1"), QStringLiteral("a")), SummaryStat(QStringLiteral("2"), QStringLiteral("b"))});
    testing::showAndSettle(row, 400);
    SummaryStatCard& first = *row.cards()[0];
    const QColor restingFill = Palette::withOpacity(Palette::backgroundBase(), 0.6);
    EXPECT_EQ(first.fillColor(), restingFill);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&first, &enter);
    EXPECT_TRUE(first.isHovered());
    EXPECT_EQ(first.fillColor(), Palette::backgroundRaised());
    EXPECT_FALSE(row.cards()[1]->isHovered());
    testing::leave(first);
    EXPECT_EQ(first.fillColor(), restingFill);
}

TEST_F(SummaryRowWidget, CardsAreKeptByIdentity) {
    const SummaryStat kept(QStringLiteral("1"), QStringLiteral("a"));
    SummaryRowView row({kept, SummaryStat(QStringLiteral("2"), QStringLiteral("b"))});
    SummaryStatCard* before = row.cards()[0];
    SummaryStat changed = kept;
    changed.value = QStringLiteral("5");
    row.setStats({SummaryStat(QStringLiteral("9"), QStringLiteral("new")), changed});
    ASSERT_EQ(row.cards().size(), 2U);
    EXPECT_EQ(row.cards()[1], before);
    EXPECT_EQ(row.cards()[1]->valueLabel().text(), QStringLiteral("5"));
    row.setStats({});
    EXPECT_TRUE(row.cards().empty());
}

// The pages make their figures anew with new ids each time: the row used to make new cards that
// showed a turn of the event loop later, and a frame drawn between showed no tiles at all.
TEST_F(SummaryRowWidget, NewFiguresTakeTheCardsOnScreen) {
    SummaryRowView row({SummaryStat(QStringLiteral("--"), QStringLiteral("a")),
                        SummaryStat(QStringLiteral("--"), QStringLiteral("b"))});
    testing::showAndSettle(row, 400);
    const auto before = row.cards();
    const int height = row.height();
    row.setStats({SummaryStat(QStringLiteral("1"), QStringLiteral("a")),
                  SummaryStat(QStringLiteral("2"), QStringLiteral("b")),
                  SummaryStat(QStringLiteral("3"), QStringLiteral("c"))});
    ASSERT_EQ(row.cards().size(), 3U);
    EXPECT_EQ(row.cards()[0], before[0]);
    EXPECT_EQ(row.cards()[1], before[1]);
    EXPECT_EQ(row.cards()[1]->valueLabel().text(), QStringLiteral("2"));
    for (const auto* card : row.cards()) EXPECT_TRUE(card->isVisible()) << "at once, with no event handled";
    QApplication::processEvents();
    EXPECT_EQ(row.height(), height);
}

// Found at start-up: "504,912" drawn in the box of the "0" before it, cut to "5".
TEST_F(SummaryRowWidget, ALongerFigureHasItsWidthBeforeTheNextFrame) {
    SummaryRowView row({SummaryStat(QStringLiteral("0"), QStringLiteral("Total LOC"))});
    testing::showAndSettle(row, 400);
    row.setStats({SummaryStat(QStringLiteral("504,912"), QStringLiteral("Total LOC"))});
    const auto& figure = row.cards().front()->valueLabel();
    EXPECT_GE(figure.width(), figure.sizeHint().width()) << "with no event handled";
}

} // namespace
} // namespace norvane::app
