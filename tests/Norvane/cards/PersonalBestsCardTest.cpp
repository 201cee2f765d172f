#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/PersonalBestsCard.h"
#include "Norvane/cards/kit/Divider.h"
#include "tests/support/LocalDate.h"

namespace norvane::app {
namespace {

using norvane::testing::localDate;

using norvane::testing::notANumber;

TEST(PersonalBestsCard, BannerByPercentilesAndColumnsByValueAndDates) {
    const QString top = QStringLiteral("You're currently in your top %1% %2 productivity period!");
    const QString median = QStringLiteral("Current %1 is above your median");
    const struct {
        std::optional<double> week;
        std::optional<double> twoWeeks;
        QString text; // empty: no banner
    } banners[] = {
        {80.0, 10.0, top.arg(20).arg("7-day")},
        {79.9, 50.0, median.arg("7-day")},
        {49.9, 49.9, {}},
        {60.0, 60.0, median.arg("7-day")},
        {40.0, 85.5, top.arg(14).arg("14-day")},
        {100.0, 0.0, top.arg(0).arg("7-day")},
        {0.86 * 100, 0.0, top.arg(14).arg("7-day")}, // 100 - 86.00000000000001, cut by the core's rule
        {99.0, std::nullopt, {}},
        {notANumber, 90.0, {}},
    };
    for (const auto& entry : banners) {
        const auto banner = PersonalBestsCard::currentPeriodBanner(entry.week, entry.twoWeeks);
        EXPECT_EQ(banner ? banner->text : QString(), entry.text) << entry.week.value_or(-1);
        if (banner) {
            EXPECT_EQ(banner->symbol, entry.text.startsWith("You're") ? "flame.fill" : "chart.line.uptrend.xyaxis");
        }
    }

    const platform::Date now = localDate(2025, 6, 1);
    const struct {
        std::optional<double> leverage;
        std::optional<platform::Date> start;
        std::optional<platform::Date> end;
        const char* value;
        std::optional<QString> caption;
    } columns[] = {
        {12.34, localDate(2025, 3, 3), localDate(2025, 3, 9), "12.3x", QStringLiteral("Mar 3 - Mar 9")},
        {8.0, localDate(2023, 12, 28), localDate(2024, 1, 3), "8.0x", QStringLiteral("Dec 28 - Jan 3, 2024")},
        {8.0, localDate(2024, 12, 28), localDate(2025, 1, 3), "8.0x", QStringLiteral("Dec 28 - Jan 3")},
        {5.0, localDate(2025, 3, 3), std::nullopt, "5.0x", std::nullopt},
        {std::nullopt, std::nullopt, std::nullopt, "\u2014", QStringLiteral("No data yet")},
        {notANumber, localDate(2025, 3, 3), localDate(2025, 3, 9), "\u2014", QStringLiteral("No data yet")},
    };
    for (const auto& entry : columns) {
        const auto column = PersonalBestsCard::bestColumn(entry.leverage, entry.start, entry.end, now);
        EXPECT_EQ(column.value, QString::fromUtf8(entry.value));
        EXPECT_EQ(column.caption, entry.caption) << entry.value;
    }
}

using PersonalBestsCardWidget = testing::ComponentTest;

TEST_F(PersonalBestsCardWidget, MissingBestsShowTheMarkOnBothSidesOfTheDivider) {
    PersonalBestsCard card(PortfolioMetrics{});
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("No data yet")));
    EXPECT_EQ(card.findChildren<Divider*>().size(), 1);
    PortfolioMetrics metrics;
    metrics.peak7DayLeverage = 12.34;
    metrics.current7DayPercentile = 85.5;
    metrics.current14DayPercentile = 12.0;
    card.setMetrics(metrics);
    testing::showAndSettle(card, 520);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("12.3x")));
    EXPECT_TRUE(
        testing::showsText(card, QStringLiteral("You're currently in your top 14% 7-day productivity period!")));
}

} // namespace
} // namespace norvane::app
