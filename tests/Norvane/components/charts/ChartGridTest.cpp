#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/components/theme/Palette.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace norvane::app {
namespace {

using testing::daysAgo;

struct MarkRows {
    int marks = 0;
    int lined = 0;
};

/// The value axis's marks inside the plot, and how many of them draw a line across it: a row
/// lighter than the rows just above and below along most of the plot's width.
MarkRows valueMarkRows(QWidget& chart) {
    testing::showAndSettle(chart);
    auto* plot = chart.findChild<QCustomPlot*>();
    plot->replot();
    const QImage image = chart.grab().toImage();
    const QPoint offset = plot->mapTo(&chart, QPoint());
    const QRect area = plot->axisRect()->rect().translated(offset);
    MarkRows rows;
    for (const double mark : plot->yAxis2->tickVector()) {
        const int y = qRound(plot->yAxis2->coordToPixel(mark)) + offset.y();
        if (y < area.top() + 4 || y > area.bottom() - 4) continue;
        ++rows.marks;
        int lighter = 0;
        int samples = 0;
        for (int x = area.left() + 2; x < area.right() - 2; x += 5, ++samples) {
            const auto lightness = [&](int row) { return image.pixelColor(x, row).lightness(); };
            if (lightness(y) > std::max(lightness(y - 3), lightness(y + 3))) ++lighter;
        }
        if (lighter * 2 > samples) ++rows.lined;
    }
    return rows;
}

using ChartGrid = testing::ComponentTest;

TEST_F(ChartGrid, EachValueMarkDrawsAGridLineAcrossThePlot) {
    DailyThroughputChartView throughput({{daysAgo(20), 0.4}, {daysAgo(2), 0.1}}, TimeRange::thirtyDays);
    RollingLeverageChartView leverage({{daysAgo(20), 3.0}, {daysAgo(2), 14.0}}, TimeRange::thirtyDays, Palette::blue());
    MetricsTimelineChartView::Inputs inputs;
    inputs.snapshots = {{daysAgo(20), 1, 1.0, 1000.0}, {daysAgo(2), 1, 2.0, 5000.0}};
    MetricsTimelineChartView timeline(inputs, [](std::int64_t, double, double) { return EffortAndCost{}; });
    for (QWidget* chart : std::initializer_list<QWidget*>{&throughput, &leverage, &timeline}) {
        const auto rows = valueMarkRows(*chart);
        EXPECT_GE(rows.marks, 2) << chart->metaObject()->className();
        EXPECT_EQ(rows.lined, rows.marks) << chart->metaObject()->className();
    }
}

TEST_F(ChartGrid, NeighbouringValueMarksNeverReadTheSame) {
    RollingLeverageChartView leverage({{daysAgo(20), 1.0}, {daysAgo(2), 3.0}}, TimeRange::thirtyDays, Palette::blue());
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = MetricsTimelineChartView::MetricType::leverage;
    inputs.snapshots = {{daysAgo(20), 1, 1.0, 1000.0}, {daysAgo(2), 1, 1.1, 1100.0}};
    MetricsTimelineChartView timeline(inputs, [](std::int64_t, double, double) { return EffortAndCost{}; });
    for (QWidget* chart : std::initializer_list<QWidget*>{&leverage, &timeline}) {
        testing::showAndSettle(*chart);
        auto* plot = chart->findChild<QCustomPlot*>();
        plot->replot();
        const QVector<QString> labels = plot->yAxis2->tickVectorLabels();
        ASSERT_GE(labels.size(), 2) << chart->metaObject()->className();
        for (qsizetype i = 1; i < labels.size(); ++i) {
            EXPECT_NE(labels[i], labels[i - 1]) << chart->metaObject()->className();
        }
    }
}

// A page full of charts must scroll under the pointer. A turn of the wheel comes from the window
// system to the widget under the pointer and goes up to its parents until one takes it; the plot
// used to keep it from them.
TEST_F(ChartGrid, AWheelTurnOverAChartScrollsThePage) {
    QScrollArea page;
    page.setWidgetResizable(true);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(new DailyThroughputChartView({{daysAgo(20), 0.4}, {daysAgo(2), 0.1}}, TimeRange::thirtyDays));
    column->addWidget(
        new RollingLeverageChartView({{daysAgo(20), 3.0}, {daysAgo(2), 14.0}}, TimeRange::thirtyDays, Palette::blue()));
    MetricsTimelineChartView::Inputs inputs;
    inputs.snapshots = {{daysAgo(20), 1, 1.0, 1000.0}, {daysAgo(2), 1, 2.0, 5000.0}};
    column->addWidget(
        new MetricsTimelineChartView(inputs, [](std::int64_t, double, double) { return EffortAndCost{}; }));
    column->addSpacing(2000);
    page.setWidget(content);
    page.resize(640, 400);
    page.show();
    QApplication::processEvents();
    const auto plots = content->findChildren<QCustomPlot*>();
    ASSERT_EQ(plots.size(), 3);
    for (QCustomPlot* plot : plots) {
        page.verticalScrollBar()->setValue(0);
        testing::turnWheel(*plot, plot->rect().center());
        EXPECT_GT(page.verticalScrollBar()->value(), 0) << "plot " << plots.indexOf(plot);
    }
}

/// The date labels under the plot of `chart`, as drawn at 640 pixels.
QStringList dateLabels(QWidget& chart) {
    testing::showAndSettle(chart);
    auto* plot = chart.findChild<QCustomPlot*>();
    plot->replot();
    return plot->xAxis->tickVectorLabels();
}

// Found on charts of two points, which showed no date at all, and on long charts, whose months
// did not say which year they were in.
TEST_F(ChartGrid, ShortAndLongDateAxesSayTheirDates) {
    for (const TimeRange range : {TimeRange::thirtyDays, TimeRange::allTime}) {
        DailyThroughputChartView throughput({{daysAgo(2), 0.4}, {daysAgo(1), 0.1}}, range);
        RollingLeverageChartView leverage({{daysAgo(2), 3.0}, {daysAgo(1), 14.0}}, range, Palette::blue());
        MetricsTimelineChartView::Inputs inputs;
        inputs.timeRange = range;
        inputs.snapshots = {{daysAgo(2), 1, 1.0, 1000.0}, {daysAgo(1), 1, 2.0, 5000.0}};
        MetricsTimelineChartView timeline(inputs, [](std::int64_t, double, double) { return EffortAndCost{}; });
        for (QWidget* chart : std::initializer_list<QWidget*>{&throughput, &leverage, &timeline}) {
            EXPECT_GE(dateLabels(*chart).size(), 2)
                << chart->metaObject()->className() << " " << range.id().toStdString();
        }
    }
    std::vector<LeveragePoint> years;
    for (int day = 3 * 365; day >= 0; day -= 7) years.push_back({daysAgo(day), 4.0});
    RollingLeverageChartView leverage(years, TimeRange::allTime, Palette::blue());
    const QStringList labels = dateLabels(leverage);
    const QRegularExpression year(QStringLiteral("\\b\\d{4}\\b"));
    ASSERT_GE(labels.size(), 2);
    EXPECT_TRUE(labels.front().contains(year)) << labels.join(", ").toStdString();
    EXPECT_GE(labels.filter(year).size(), 3) << "the year where it changes: " << labels.join(", ").toStdString();
}

template <class Chart>
bool showsHover(const QWidget& chart) {
    const auto* shown = qobject_cast<const Chart*>(&chart);
    return shown && shown->hovered().has_value() && shown->header().isShowingReadOut();
}

// Found by turning the wheel over a chart: the page scrolled, the pointer rested over the next
// card, and the read-out and the dashed rule stayed on the chart until the mouse moved.
TEST_F(ChartGrid, AWheelTurnThatScrollsAChartFromUnderThePointerClearsItsReadOut) {
    QScrollArea page;
    page.setWidgetResizable(true);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    auto* throughput = new DailyThroughputChartView({{daysAgo(20), 0.4}, {daysAgo(2), 0.1}}, TimeRange::thirtyDays);
    auto* leverage =
        new RollingLeverageChartView({{daysAgo(20), 3.0}, {daysAgo(2), 14.0}}, TimeRange::thirtyDays, Palette::blue());
    MetricsTimelineChartView::Inputs inputs;
    inputs.snapshots = {{daysAgo(20), 1, 1.0, 1000.0}, {daysAgo(2), 1, 2.0, 5000.0}};
    auto* timeline = new MetricsTimelineChartView(inputs, [](std::int64_t, double, double) { return EffortAndCost{}; });
    const std::vector<std::pair<QWidget*, bool (*)(const QWidget&)>> charts = {
        {throughput, &showsHover<DailyThroughputChartView>},
        {leverage, &showsHover<RollingLeverageChartView>},
        {timeline, &showsHover<MetricsTimelineChartView>}};
    for (const auto& [chart, hovered] : charts) column->addWidget(chart);
    column->addSpacing(2000);
    page.setWidget(content);
    page.resize(640, 400);
    page.show();
    QApplication::processEvents();
    for (const auto& [chart, hovered] : charts) {
        auto* plot = chart->findChild<QCustomPlot*>();
        page.ensureWidgetVisible(plot, 0, 100);
        QApplication::processEvents();
        // Near the plot's foot: a notch of the wheel scrolls the plot up and away from the pointer.
        const QPointF pointer(plot->width() / 2.0, plot->height() - 4.0);
        testing::movePointer(*plot, pointer.x(), pointer.y());
        ASSERT_TRUE(hovered(*chart)) << chart->metaObject()->className();
        const int before = page.verticalScrollBar()->value();
        testing::turnWheel(*plot, pointer);
        QApplication::processEvents();
        ASSERT_GT(page.verticalScrollBar()->value(), before);
        EXPECT_FALSE(hovered(*chart)) << chart->metaObject()->className();
    }
}

} // namespace
} // namespace norvane::app
