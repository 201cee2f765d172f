#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/PeriodComparisonsCard.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

using norvane::testing::notANumber;

TEST(PeriodComparisonsCard, ChangeClassTextAndHelpAgainstThePriorWindow) {
    const QString stable = QStringLiteral("Stable vs prior period (within ±5%)");
    const struct {
        double current;
        std::optional<double> prior;
        const char* text; // empty: no change shown
        const char* symbol;
        QString help;
    } cases[] = {
        {2.0, 1.0, "+100%", "arrow.up.right", "Up 100% vs prior period"},
        {1.0, 2.0, "-50%", "arrow.down.right", "Down 50% vs prior period"},
        {1.05, 1.0, "+5%", "arrow.right", stable},
        {0.95, 1.0, "-5%", "arrow.right", stable},
        {1.053, 1.0, "+5%", "arrow.up.right", "Up 5% vs prior period"},
        {0.924, 1.0, "-8%", "arrow.down.right", "Down 8% vs prior period"},
        {1.032, 1.0, "+3%", "arrow.right", stable},
        {0.9999, 1.0, "+0%", "arrow.right", stable},
        {1.0, 0.0, "", "", {}},
        {1.0, -2.0, "", "", {}},
        {1.0, std::nullopt, "", "", {}},
        {1.0, notANumber, "", "", {}},
        {1e300, 1e-300, "", "", {}},
    };
    for (const auto& entry : cases) {
        const auto change = PeriodComparisonsCard::changePercent(entry.current, entry.prior);
        ASSERT_EQ(change.has_value(), *entry.text != '\0') << entry.current;
        if (change) {
            const auto indicator = PeriodComparisonsCard::changeIndicator(*change);
            EXPECT_EQ(indicator.text, QString::fromLatin1(entry.text)) << entry.current;
            EXPECT_EQ(indicator.symbol, QString::fromLatin1(entry.symbol)) << entry.current;
            EXPECT_EQ(indicator.help, entry.help) << entry.current;
        }
    }
    EXPECT_EQ(PeriodComparisonsCard::changeIndicator(12.4).color, Palette::green());
    EXPECT_EQ(PeriodComparisonsCard::changeIndicator(-7.6).color, Palette::red());
    EXPECT_EQ(PeriodComparisonsCard::changeIndicator(5.0).color, Palette::textSecondary());
}

using PeriodComparisonsCardWidget = testing::ComponentTest;

TEST_F(PeriodComparisonsCardWidget, ColumnsShowValueChangeOrTheMissingMarks) {
    PortfolioMetrics metrics;
    metrics.rollingLeverage7Day = 2.0;
    metrics.rollingLeveragePrior7Day = 1.0;
    metrics.rollingLeveragePrior14Day = 3.0;
    metrics.rollingLeverage30Day = 3.4;
    metrics.rollingLeveragePrior30Day = 0.0;
    PeriodComparisonsCard card(metrics);
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("2.0x")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("+100%")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("No data")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("3.4x")));
    EXPECT_EQ(card.findChildren<Divider*>().size(), 2);
    const auto labels = card.findChildren<StyledLabel*>();
    const auto change =
        std::find_if(labels.begin(), labels.end(), [](auto* label) { return label->text() == "+100%"; });
    EXPECT_EQ((*change)->parentWidget()->toolTip(), QStringLiteral("Up 100% vs prior period"));
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("-0%")));

    // The page keeps the card's room while its figures are read: whatever they are, they take it.
    PeriodComparisonsCard room(PeriodComparisonsCard::roomOfFigures());
    testing::showAndSettle(room, 520);
    PeriodComparisonsCard empty{PortfolioMetrics{}};
    testing::showAndSettle(empty, 520);
    EXPECT_EQ(card.height(), room.height());
    EXPECT_EQ(empty.height(), room.height());
}

} // namespace
} // namespace norvane::app
