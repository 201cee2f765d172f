#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

#include "platform/LocalCalendar.h"

#include <qcustomplot.h>

namespace norvane::app {
namespace {

using testing::daysAgo;

std::vector<LeveragePoint> pointsWithMaximum(double maximum) {
    return {{daysAgo(2), maximum / 2}, {daysAgo(1), maximum}};
}

QStringList names(const std::vector<LeverageBand>& bands) {
    QStringList result;
    for (const LeverageBand& band : bands) {
        result.append(band.name);
    }
    return result;
}

TEST(RollingLeverageChart, AxisMaximumAndVisibleBands) {
    EXPECT_DOUBLE_EQ(RollingLeverageChartView::yAxisMaximum(pointsWithMaximum(4)), 4 * 1.1);
    EXPECT_EQ(
        names(RollingLeverageChartView::visibleBands(RollingLeverageChartView::yAxisMaximum(pointsWithMaximum(4)))),
        QStringList{"Baseline"});
    EXPECT_EQ(
        names(RollingLeverageChartView::visibleBands(RollingLeverageChartView::yAxisMaximum(pointsWithMaximum(10)))),
        (QStringList{"Baseline", "Good", "Great"}));
    EXPECT_EQ(
        names(RollingLeverageChartView::visibleBands(RollingLeverageChartView::yAxisMaximum(pointsWithMaximum(30)))),
        (QStringList{"Baseline", "Good", "Great", "Exceptional"}));
    EXPECT_DOUBLE_EQ(RollingLeverageChartView::maxLeverage({}), 20.0);
    EXPECT_TRUE(RollingLeverageChartView::visibleBands(0.0).empty());
}

TEST(RollingLeverageChart, StripesRepeatTheBandsUpToTheMaximum) {
    const auto stripes = RollingLeverageChartView::bandBackgrounds(33.0);
    ASSERT_EQ(stripes.size(), 4U);
    EXPECT_EQ(stripes[3].lower, 20.0);
    EXPECT_EQ(stripes[3].upper, 33.0);
    EXPECT_EQ(stripes[3].color, Palette::red());
    const auto eleven = RollingLeverageChartView::bandBackgrounds(11.0);
    ASSERT_EQ(eleven.size(), 3U);
    EXPECT_EQ(eleven[2].lower, 10.0);
    EXPECT_EQ(eleven[2].upper, 11.0);
    EXPECT_EQ(RollingLeverageChartView::bandBackgrounds(4.4).size(), 1U);
    EXPECT_TRUE(RollingLeverageChartView::bandBackgrounds(0.0).empty());
    EXPECT_EQ(RollingLeverageChartView::bandBackgrounds(5.0).size(), 1U)
        << "a stripe whose lower bound equals the maximum is not drawn";
}

TEST(RollingLeverageChart, CurrentBandAtTheEdges) {
    const struct {
        double value;
        const char* band;
    } cases[] = {{0, "Baseline"},     {4.99, "Baseline"},
                 {5, "Good"},         {19.99, "Great"},
                 {20, "Exceptional"}, {2500, "Exceptional"},
                 {-1, "Exceptional"}, {std::numeric_limits<double>::quiet_NaN(), "Exceptional"}};
    for (const auto& entry : cases) {
        EXPECT_EQ(RollingLeverageChartView::currentBand(entry.value).name, QString::fromLatin1(entry.band))
            << entry.value;
    }
}

TEST(RollingLeverageChart, LeverageTextsSwitchToYearsAboveThreeYearsADay) {
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(0), QStringLiteral("0.0x (0.0 mo/day)"));
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(12), QStringLiteral("12.0x (0.4 mo/day)"));
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(36), QStringLiteral("36.0x (1.2 mo/day)"));
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(36.1), QStringLiteral("36.1x (0.1 yr/day)"));
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(50), QStringLiteral("50.0x (0.1 yr/day)"));
    EXPECT_EQ(RollingLeverageChartView::formatLeverage(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("--"));
    EXPECT_EQ(RollingLeverageChartView::yAxisLabel(10), QStringLiteral("10x"));
    EXPECT_EQ(RollingLeverageChartView::yAxisLabel(std::numeric_limits<double>::quiet_NaN()), QString());
}

// Found at All Time as "Current: Exceptional" of a portfolio quiet since Aug 18, 2026.
TEST(RollingLeverageChart, TheLastBandNamesItsDayUnlessItIsToday) {
    const platform::Date now = daysAgo(0) + std::chrono::hours(15);
    EXPECT_EQ(RollingLeverageChartView::currentBandTitle(daysAgo(0), now), QStringLiteral("Current:"));
    const platform::Date august = *platform::LocalCalendar::dateFromComponents({2026, 8, 18, 0, 0, 0});
    EXPECT_EQ(RollingLeverageChartView::currentBandTitle(august, platform::LocalCalendar::addingDays(august, 111)),
              QStringLiteral("On Aug 18, 2026:"));
}

using RollingLeverageWidget = testing::ComponentTest;

TEST_F(RollingLeverageWidget, EmptyStateExplainsWhatIsMissing) {
    RollingLeverageChartView chart({{daysAgo(1), 3.0}}, TimeRange::thirtyDays, Palette::blue());
    testing::showAndSettle(chart);
    EXPECT_FALSE(chart.isShowingChart());
    EXPECT_TRUE(testing::showsText(chart, QStringLiteral("Collect git history to see leverage over time")));
}

TEST_F(RollingLeverageWidget, LegendAndHoverFollowThePoints) {
    RollingLeverageChartView chart({{daysAgo(31), 40.0}, {daysAgo(3), 4.0}, {daysAgo(2), 8.0}, {daysAgo(1), 12.0}},
                                   TimeRange::thirtyDays, Palette::blue());
    testing::showAndSettle(chart, 700);
    ASSERT_TRUE(chart.isShowingChart());
    const auto* current = chart.findChild<StyledLabel*>(QStringLiteral("currentBand"));
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(), QStringLiteral("Great"));
    EXPECT_TRUE(testing::showsText(chart, QStringLiteral("On ") + DateText::mediumDate(daysAgo(1)) + ":"))
        << "the last point is yesterday's";
    EXPECT_EQ(current->color(), Palette::green());
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Rolling leverage over time"));
    auto* plot = chart.findChild<QCustomPlot*>();
    testing::movePointer(*plot, 2, 40);
    ASSERT_TRUE(chart.hovered().has_value());
    EXPECT_EQ(chart.hovered()->date, daysAgo(3)) << "left of the first point snaps to the first";
    EXPECT_EQ(chart.header().trailingText(), QStringLiteral("4.0x (0.1 mo/day)"));
    EXPECT_EQ(chart.header().trailingLabel().color(), Palette::blue());
    testing::leave(*plot);
    EXPECT_FALSE(chart.hovered().has_value());
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Rolling leverage over time"));
}

} // namespace
} // namespace norvane::app
