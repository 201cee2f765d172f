#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QLocale>

#include <cmath>

namespace norvane::app {
namespace {

using testing::daysAgo;

EffortAndCost organic(std::int64_t lines, double wage, double overhead) {
    const double effort = 2.4 * std::pow(static_cast<double>(lines) / 1000.0, 1.05);
    return {effort, wage / 12.0 * effort * overhead};
}

std::vector<TimelineSnapshot> snapshots(int count) {
    std::vector<TimelineSnapshot> result;
    for (int index = 0; index < count; ++index) {
        result.push_back({daysAgo(count - index), index, static_cast<double>(index + 1), 100.0 * (index + 1)});
    }
    return result;
}

std::vector<std::int64_t> keptIndices(int count, int limit) {
    std::vector<std::int64_t> indices;
    for (const TimelineSnapshot& kept : MetricsTimelineChartView::downsample(snapshots(count), limit)) {
        indices.push_back(kept.codeLines);
    }
    return indices;
}

TEST(MetricsTimelineChart, DownsampleKeepsFirstAndLast) {
    const auto hundred = keptIndices(100, 50);
    ASSERT_EQ(hundred.size(), 49U);
    EXPECT_EQ(std::vector<std::int64_t>(hundred.begin(), hundred.begin() + 6),
              (std::vector<std::int64_t>{0, 3, 5, 7, 9, 11}));
    EXPECT_EQ(std::vector<std::int64_t>(hundred.end() - 4, hundred.end()), (std::vector<std::int64_t>{92, 94, 96, 99}));
    EXPECT_EQ(keptIndices(60, 50).size(), 49U);
    EXPECT_EQ(keptIndices(60, 50).back(), 59);
    EXPECT_EQ(keptIndices(50, 50).size(), 50U);
    EXPECT_EQ(keptIndices(10, 2), (std::vector<std::int64_t>{0, 9}));
    EXPECT_EQ(keptIndices(10, 0), (std::vector<std::int64_t>{0, 9})) << "a limit below two still keeps both ends";
}

TEST(MetricsTimelineChart, DataPointFallsBackToAFreshEstimateOnlyWithoutFigures) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = MetricsTimelineChartView::MetricType::effortMonths;
    const TimelineSnapshot bare{daysAgo(1), 10'000, 0.0, 0.0};
    const double effort = 2.4 * std::pow(10.0, 1.05);
    EXPECT_NEAR(MetricsTimelineChartView::dataPoint(bare, daysAgo(1), inputs, organic).value, effort, 1e-9);
    inputs.metric = MetricsTimelineChartView::MetricType::estimatedValue;
    EXPECT_NEAR(MetricsTimelineChartView::dataPoint(bare, daysAgo(1), inputs, organic).value,
                150000.0 / 12 * effort * 2.4, 1e-6);
    const TimelineSnapshot monthsOnly{daysAgo(1), 10'000, 5.0, 0.0};
    EXPECT_EQ(MetricsTimelineChartView::dataPoint(monthsOnly, daysAgo(1), inputs, organic).value, 0.0);
}

TEST(MetricsTimelineChart, LeverageDividesByElapsedMonthsAndHeadcount) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = MetricsTimelineChartView::MetricType::leverage;
    const TimelineSnapshot snapshot{daysAgo(0), 1, 10.0, 1.0};
    EXPECT_NEAR(MetricsTimelineChartView::dataPoint(snapshot, daysAgo(60), inputs, organic).value, 5.0, 1e-9);
    EXPECT_NEAR(MetricsTimelineChartView::dataPoint(snapshot, daysAgo(0), inputs, organic).value, 300.0, 1e-9);
    EXPECT_NEAR(MetricsTimelineChartView::dataPoint(snapshot, daysAgo(-5), inputs, organic).value, 300.0, 1e-9);
    inputs.headcount = 0;
    EXPECT_TRUE(std::isfinite(MetricsTimelineChartView::dataPoint(snapshot, daysAgo(60), inputs, organic).value));
    EXPECT_EQ(MetricsTimelineChartView::hoverValueText(MetricsTimelineChartView::MetricType::leverage, 5.0),
              QStringLiteral("5.0x"));
}

TEST(MetricsTimelineChart, PreparationFiltersSortsAndThins) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.timeRange = TimeRange::thirtyDays;
    inputs.snapshots = {{daysAgo(2), 1, 2.0, 20.0}, {daysAgo(40), 1, 1.0, 10.0}, {daysAgo(5), 1, 3.0, 30.0}};
    const auto points = MetricsTimelineChartView::computeChartData(inputs, organic, platform::currentDate());
    ASSERT_EQ(points.size(), 2U);
    EXPECT_EQ(points[0].value, 30.0);
    EXPECT_EQ(points[1].value, 20.0);
}

TEST(MetricsTimelineChart, ValueDomainWithoutPointsOrSpread) {
    EXPECT_EQ(MetricsTimelineChartView::yDomain({}), (ValueDomain{0, 100}));
    EXPECT_EQ(MetricsTimelineChartView::yDomain({{daysAgo(2), 0}, {daysAgo(1), 0}}), (ValueDomain{0, 0}));
}

TEST(MetricsTimelineChart, Texts) {
    EXPECT_EQ(MetricsTimelineChartView::formatMonths(11.94), QStringLiteral("11.9 months"));
    EXPECT_EQ(MetricsTimelineChartView::formatMonths(11.96), QStringLiteral("12.0 months"));
    EXPECT_EQ(MetricsTimelineChartView::formatMonths(12), QStringLiteral("1.0 years"));
    EXPECT_EQ(MetricsTimelineChartView::formatMonths(30), QStringLiteral("2.5 years"));
    EXPECT_EQ(MetricsTimelineChartView::formatMonths(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("--"));
    EXPECT_EQ(MetricsTimelineChartView::axisValueText(MetricsTimelineChartView::MetricType::estimatedValue, 1500),
              QStringLiteral("$2K"));
    EXPECT_EQ(MetricsTimelineChartView::axisValueText(MetricsTimelineChartView::MetricType::effortMonths, 12.4),
              QStringLiteral("12"));
    EXPECT_EQ(MetricsTimelineChartView::axisValueText(MetricsTimelineChartView::MetricType::leverage, 2.25),
              QStringLiteral("2.2"));
    EXPECT_EQ(MetricsTimelineChartView::metricTypeFromRawValue(QStringLiteral("Trad. Time")),
              MetricsTimelineChartView::MetricType::effortMonths);
    EXPECT_FALSE(MetricsTimelineChartView::metricTypeFromRawValue(QStringLiteral("trad. time")).has_value());
}

TEST(MetricsTimelineChart, CurrencyFollowsTheLocaleWithADollarFallback) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(MetricsTimelineChartView::formatCurrency(1234567.8), QStringLiteral("$1,234,568"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(MetricsTimelineChartView::formatCurrency(1234.9), QStringLiteral("$1234"));
    QLocale::setDefault(previous);
    EXPECT_EQ(MetricsTimelineChartView::formatCurrency(std::numeric_limits<double>::infinity()), QStringLiteral("--"));
}

using MetricsTimelineWidget = testing::ComponentTest;

TEST_F(MetricsTimelineWidget, ShowsTheChartFromItsFirstFrameAndReadsOutTheHoveredPoint) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = MetricsTimelineChartView::MetricType::leverage;
    inputs.firstCommitDate = daysAgo(90);
    inputs.snapshots = {{daysAgo(20), 1, 10.0, 1.0}, {daysAgo(10), 1, 20.0, 1.0}};
    MetricsTimelineChartView chart(inputs, organic);
    ASSERT_EQ(chart.state(), MetricsTimelineChartView::State::chart)
        << "no placeholder of another height before the points";
    testing::showAndSettle(chart);
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Hover to see values"));
    auto* plot = chart.findChild<QCustomPlot*>();
    testing::movePointer(*plot, plot->width() - 5.0, 50);
    ASSERT_TRUE(chart.hovered().has_value());
    EXPECT_EQ(chart.hovered()->date, daysAgo(10));
    EXPECT_EQ(chart.header().leadingText(), DateText::dateOnly(daysAgo(10)));
    EXPECT_EQ(chart.header().trailingText(), QStringLiteral("7.5x"));
    EXPECT_EQ(chart.header().trailingLabel().color(), Palette::cyan());
    testing::leave(*plot);
    EXPECT_EQ(chart.header().leadingText(), QStringLiteral("Hover to see values"));
}

// One commit five days ago, then two two days ago, the second a large one: the leverage of the
// first day is spread over one day, that of the later ones over two; the curve used to dip out of
// the bottom of the plot between them.
TEST_F(MetricsTimelineWidget, TheValueAxisHoldsTheDrawnLeverage) {
    const auto at = [](int days, int hour) { return daysAgo(days) + std::chrono::hours(hour); };
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = MetricsTimelineChartView::MetricType::leverage;
    inputs.firstCommitDate = at(5, 18);
    inputs.snapshots = {{at(5, 18), 2, 0.00268, 80.0}, {at(2, 10), 4, 0.00537, 160.0}, {at(2, 13), 40, 0.0232, 700.0}};
    MetricsTimelineChartView chart(inputs, organic);
    testing::showAndSettle(chart);
    ASSERT_EQ(chart.state(), MetricsTimelineChartView::State::chart);
    auto* plot = chart.findChild<QCustomPlot*>();
    const QCPRange axis = plot->yAxis2->range();
    for (int graph = 0; graph < plot->graphCount(); ++graph) {
        for (const QCPGraphData& sample : *plot->graph(graph)->data()) {
            EXPECT_TRUE(axis.contains(sample.value))
                << sample.value << " outside " << axis.lower << "..." << axis.upper;
        }
    }
}

TEST_F(MetricsTimelineWidget, RecomputesOnlyWhenCountRangeOrMetricChange) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.snapshots = {{daysAgo(3), 1, 1.0, 100.0}};
    MetricsTimelineChartView chart(inputs, organic);
    testing::showAndSettle(chart);
    EXPECT_EQ(chart.state(), MetricsTimelineChartView::State::tooFewPoints);
    inputs.snapshots[0].cumulativeEstimatedCost = 500.0;
    chart.setInputs(inputs);
    QApplication::processEvents();
    EXPECT_EQ(chart.chartData().front().value, 100.0) << "an edit in place keeps the prepared points";
    inputs.snapshots.push_back({daysAgo(1), 1, 2.0, 200.0});
    chart.setInputs(inputs);
    QApplication::processEvents();
    EXPECT_EQ(chart.state(), MetricsTimelineChartView::State::chart);
    EXPECT_EQ(chart.chartData().front().value, 500.0);
}

} // namespace
} // namespace norvane::app
