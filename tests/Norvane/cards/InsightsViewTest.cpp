#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/InsightCard.h"
#include "Norvane/cards/InsightsView.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"

namespace norvane::app {
namespace {

using InsightsViewWidget = testing::ComponentTest;

TEST_F(InsightsViewWidget, PlaceholderGivesWayToCardsWhoseTitlesLineUp) {
    InsightsView view({});
    testing::showAndSettle(view, 420);
    EXPECT_TRUE(testing::showsText(view, QStringLiteral("Collect more data to see insights")));
    EXPECT_TRUE(view.findChildren<InsightCard*>().isEmpty());

    const QString longMessage =
        QStringLiteral("atlas-api, website and scripts haven't had commits in over a week. ").repeated(4);
    view.setInsights({Insight(InsightType::streak, "6-Day Streak!", "Short.", InsightPriority::high, "flame.fill", {}),
                      Insight(InsightType::streak, "3 Cooling Off", longMessage.toStdString(), InsightPriority::low,
                              "snowflake", {})});
    testing::showAndSettle(view, 420);
    EXPECT_FALSE(testing::showsText(view, QStringLiteral("Collect more data to see insights")));
    const auto cards = view.findChildren<InsightCard*>();
    ASSERT_EQ(cards.size(), 2);
    EXPECT_EQ(cards[0]->symbol().color(), cards[1]->symbol().color());
    EXPECT_NE(cards[0]->priorityDot().color(), cards[1]->priorityDot().color());
    EXPECT_GT(cards[1]->height(), cards[0]->height() + 20) << "the long message wraps onto more lines";
    EXPECT_GT(cards[1]->messageLabel().height(), 2 * cards[0]->messageLabel().height());
    EXPECT_EQ(cards[0]->symbol().parentWidget()->width(), 24);
    EXPECT_EQ(cards[0]->messageLabel().x(), cards[1]->messageLabel().x()) << "titles and messages start together";
    EXPECT_EQ(cards[1]->priorityDot().y(), cards[0]->priorityDot().y()) << "the dot stays at the top";
}

} // namespace
} // namespace norvane::app
