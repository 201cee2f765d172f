#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/ComparisonBar.h"
#include "Norvane/cards/VelocityRetentionComparisonCard.h"
#include "Norvane/components/theme/Palette.h"

#include <limits>

namespace norvane::app {
namespace {

using norvane::testing::notANumber;
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(VelocityRetentionComparisonCard, PercentileBandsAndOrdinals) {
    const struct {
        int percentile;
        QColor color;
        const char* symbol;
    } bands[] = {{100, Palette::green(), "star.fill"},
                 {90, Palette::green(), "star.fill"},
                 {89, Palette::blue(), "checkmark.circle.fill"},
                 {75, Palette::blue(), "checkmark.circle.fill"},
                 {74, Palette::cyan(), "chart.line.uptrend.xyaxis"},
                 {50, Palette::cyan(), "chart.line.uptrend.xyaxis"},
                 {49, Palette::amber(), "exclamationmark.triangle.fill"},
                 {25, Palette::amber(), "exclamationmark.triangle.fill"},
                 {24, Palette::red(), "wrench.fill"},
                 {101, Palette::red(), "wrench.fill"},
                 {-1, Palette::red(), "wrench.fill"}};
    for (const auto& band : bands) {
        EXPECT_EQ(VelocityRetentionComparisonCard::percentileColor(band.percentile), band.color) << band.percentile;
        EXPECT_EQ(VelocityRetentionComparisonCard::verdict(band.percentile).symbol, QString::fromLatin1(band.symbol))
            << band.percentile;
    }
    EXPECT_EQ(VelocityRetentionComparisonCard::ordinal(12), QStringLiteral("12th"));
    EXPECT_EQ(VelocityRetentionComparisonCard::ordinal(22), QStringLiteral("22nd"));
}

TEST(VelocityRetentionComparisonCard, DifferenceIsAheadFromZero) {
    EXPECT_EQ(VelocityRetentionComparisonCard::difference(80.0, 80.0)->text, QStringLiteral("0%"));
    EXPECT_TRUE(VelocityRetentionComparisonCard::difference(80.0, 80.0)->ahead);
    EXPECT_EQ(VelocityRetentionComparisonCard::difference(67.6, 80.0)->text, QStringLiteral("12%"));
    EXPECT_FALSE(VelocityRetentionComparisonCard::difference(67.6, 80.0)->ahead);
    EXPECT_FALSE(VelocityRetentionComparisonCard::difference(60.0, std::nullopt).has_value());
    EXPECT_FALSE(VelocityRetentionComparisonCard::difference(60.0, infinity).has_value());
    EXPECT_EQ(VelocityRetentionComparisonCard::percentText(std::nullopt), QStringLiteral("--"));
}

TEST(ComparisonBar, NonFiniteValuesHaveNoPlace) {
    EXPECT_DOUBLE_EQ(*ComparisonBar::geometry(150.0, 90.0).userEnd, 150.0 / 165.0);
    EXPECT_DOUBLE_EQ(*ComparisonBar::geometry(20.0, 30.0).medianPosition, 30.0 / 110.0);
    const ComparisonBar::Geometry notANumberUser = ComparisonBar::geometry(notANumber, 80.0);
    EXPECT_FALSE(notANumberUser.userEnd.has_value());
    EXPECT_DOUBLE_EQ(*notANumberUser.medianPosition, 80.0 / 110.0);
    const ComparisonBar::Geometry infiniteMedian = ComparisonBar::geometry(60.0, infinity);
    EXPECT_DOUBLE_EQ(*infiniteMedian.userEnd, 60.0 / 110.0);
    EXPECT_FALSE(infiniteMedian.medianPosition.has_value());
    EXPECT_EQ(*ComparisonBar::geometry(-20.0, -5.0).userEnd, 0.0) << "a negative value stays at the start";
}

using VelocityRetentionComparisonWidget = testing::ComponentTest;

TEST_F(VelocityRetentionComparisonWidget, BarAndMarkerStandOnTheSharedScale) {
    VelocityRetentionComparisonCard card({60.0, 80.0, 73, QStringLiteral("Medium*")});
    testing::showAndSettle(card, 500);
    const ComparisonBar* bar = card.bar();
    ASSERT_NE(bar, nullptr);
    const double width = bar->width();
    EXPECT_NEAR(bar->userBarRect()->right(), width * 60.0 / 110.0, 1e-9);
    EXPECT_NEAR(bar->markerRect()->center().x(), width * 80.0 / 110.0, 1e-9);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Median (Medium)")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("73rd percentile")));
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("20%")));
}

TEST_F(VelocityRetentionComparisonWidget, UnshowableFiguresCountAsMissing) {
    VelocityRetentionComparisonCard withoutMedian({60.0, infinity, std::nullopt, std::nullopt});
    testing::showAndSettle(withoutMedian, 500);
    EXPECT_EQ(withoutMedian.bar(), nullptr);
    EXPECT_TRUE(testing::showsText(withoutMedian, QStringLiteral("--")));
    EXPECT_FALSE(testing::showsText(withoutMedian, QStringLiteral("vs Median")));
    VelocityRetentionComparisonCard withoutRetention({notANumber, 80.0, 12, std::nullopt});
    testing::showAndSettle(withoutRetention, 500);
    EXPECT_TRUE(testing::showsText(withoutRetention, QStringLiteral("Retention data not available")));
    EXPECT_TRUE(testing::showsText(withoutRetention, QStringLiteral("12th")));
}

} // namespace
} // namespace norvane::app
