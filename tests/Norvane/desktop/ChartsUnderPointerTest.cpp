#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/cards/VelocityChart.h"
#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/components/theme/Palette.h"
#include "platform/LocalCalendar.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QPointer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace norvane::app {
namespace {

using norvane::testing::placePointer;
using norvane::testing::runEventsUntil;

platform::Date daysAgo(int days) {
    return platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(platform::currentDate()), -days);
}

/// A chart of one kind on a page, and where it reads out what lies under the pointer.
struct ChartKind {
    const char* name;
    std::function<QWidget*()> make;
    /// Whether the chart reads out a point now.
    std::function<bool(const QWidget&)> readingOut;
};

QWidget* throughput() {
    std::vector<ThroughputPoint> days;
    for (int day = 20; day >= 0; --day) days.push_back({daysAgo(day), 0.5 + day % 3});
    return new DailyThroughputChartView(days, TimeRange::thirtyDays);
}

QWidget* timeline() {
    MetricsTimelineChartView::Inputs inputs;
    for (int day = 20; day >= 0; --day) inputs.snapshots.push_back({daysAgo(day), 1000 * (21 - day), 1.0 + day, 0.0});
    inputs.timeRange = TimeRange::thirtyDays;
    inputs.metric = MetricsTimelineChartView::MetricType::leverage;
    inputs.firstCommitDate = daysAgo(60);
    return new MetricsTimelineChartView(inputs, [](std::int64_t lines, double, double) {
        return EffortAndCost{lines / 1000.0, lines * 10.0};
    });
}

QWidget* leverage() {
    std::vector<LeveragePoint> days;
    for (int day = 20; day >= 0; --day) days.push_back({daysAgo(day), 3.0 + day % 5});
    return new RollingLeverageChartView(days, TimeRange::thirtyDays, Palette::blue());
}

QWidget* velocity() {
    VelocityChart::Inputs inputs;
    for (int day = 20; day >= 0; --day) inputs.velocityData.push_back({daysAgo(day), 100.0 + 10 * (day % 4)});
    inputs.baselineVelocity = 110.0;
    inputs.selectedDays = 30;
    return new VelocityChart(inputs);
}

QWidget* overlap() {
    std::vector<ActivityDay> days;
    for (int day = 20; day >= 0; --day)
        days.push_back({daysAgo(day), 2, {QStringLiteral("atlas"), QStringLiteral("pylon")}});
    return new ProjectActivityOverlapView(days, TimeRange::thirtyDays);
}

void PrintTo(const ChartKind& kind, std::ostream* out) { *out << kind.name; }

template <class Chart>
bool readsOut(const QWidget& chart) {
    return static_cast<const Chart&>(chart).hovered().has_value();
}

const ChartKind kinds[] = {
    {"DailyThroughput", throughput, readsOut<DailyThroughputChartView>},
    {"MetricsTimeline", timeline, readsOut<MetricsTimelineChartView>},
    {"RollingLeverage", leverage, readsOut<RollingLeverageChartView>},
    {"Velocity", velocity, readsOut<VelocityChart>},
    {"ActivityOverlap", overlap,
     [](const QWidget& chart) {
         return static_cast<const ProjectActivityOverlapView&>(chart).hoveredDate().has_value();
     }},
};

/// What the pointer rests on: the chart's plot, or the chart itself where it has none.
QWidget& pointerTarget(QWidget& chart) {
    auto* plot = chart.findChild<QCustomPlot*>();
    return plot ? static_cast<QWidget&>(*plot) : chart;
}

class ChartUnderPointer : public ::testing::TestWithParam<ChartKind> {
protected:
    void SetUp() override { norvane::testing::pointerApplication(); }
};

// The window system tells a torn-down widget's parents that the pointer left them while they are
// being destroyed; nothing listening may act on them then.
TEST_P(ChartUnderPointer, PageReplacedWhileReadingOut) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    QPointer<QWidget> page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    QWidget* chart = GetParam().make();
    pageLayout->addWidget(chart);
    layout->addWidget(page);
    norvane::testing::showOnScreen(window, QSize(700, 400));
    QWidget& target = pointerTarget(*chart);
    ASSERT_TRUE(runEventsUntil([&] { return target.isVisible() && target.width() > 200; }));
    placePointer(target);
    ASSERT_TRUE(runEventsUntil([&] { return GetParam().readingOut(*chart); }));

    delete page;
    auto* replacement = new QWidget;
    layout->addWidget(replacement);
    ASSERT_TRUE(runEventsUntil([&] { return replacement->isVisible() && replacement->height() > 100; }));
    placePointer(*replacement);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ChartUnderPointer, ::testing::ValuesIn(kinds),
                         [](const ::testing::TestParamInfo<ChartKind>& kind) { return std::string(kind.param.name); });

} // namespace
} // namespace norvane::app
