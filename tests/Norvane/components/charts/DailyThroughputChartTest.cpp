#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <qcustomplot.h>

namespace norvane::app {
namespace {

using testing::daysAgo;

using DailyThroughputWidget = testing::ComponentTest;

TEST_F(DailyThroughputWidget, TooFewPointsShowTheEmptyState) {
    DailyThroughputChartView chart({{daysAgo(40), 1.0}, {daysAgo(2), 0.5}}, TimeRange::thirtyDays);
    testing::showAndSettle(chart);
    EXPECT_FALSE(chart.isShowingChart());
    EXPECT_TRUE(testing::showsText(chart, QStringLiteral("No throughput data yet")));
    chart.setTimeRange(TimeRange::allTime);
    EXPECT_TRUE(chart.isShowingChart());
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Daily effort (COCOMO months)"));
}

TEST_F(DailyThroughputWidget, HoverReadsOutTheNearestDayAndLeavingClearsIt) {
    DailyThroughputChartView chart({{daysAgo(3), 0.25}, {daysAgo(2), 0.37}, {daysAgo(1), 0.0}}, TimeRange::thirtyDays);
    testing::showAndSettle(chart);
    auto* plot = chart.findChild<QCustomPlot*>();
    ASSERT_NE(plot, nullptr);
    const double x = plot->xAxis->coordToPixel(ChartMath::dayCentre(daysAgo(2))) + 3;
    testing::movePointer(*plot, x, plot->height() / 2.0);
    ASSERT_TRUE(chart.header().isShowingReadOut());
    EXPECT_EQ(chart.header().leadingText(), DateText::dateOnly(daysAgo(2)));
    EXPECT_EQ(chart.header().trailingText(), QStringLiteral("0.37 COCOMO months"));
    EXPECT_EQ(chart.header().trailingLabel().color(), Palette::systemCyan());
    testing::movePointer(*plot, plot->xAxis->coordToPixel(ChartMath::dayCentre(daysAgo(1))), plot->height() / 2.0);
    EXPECT_EQ(chart.header().trailingText(), QStringLiteral("0.00 COCOMO months"));
    testing::leave(*plot);
    EXPECT_FALSE(chart.header().isShowingReadOut());
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Daily effort (COCOMO months)"));
    EXPECT_EQ(chart.header().leadingLabel().color(), Palette::textMuted());
}

} // namespace
} // namespace norvane::app
