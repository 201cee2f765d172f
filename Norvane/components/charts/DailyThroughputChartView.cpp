#include "Norvane/components/charts/DailyThroughputChartView.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "Norvane/components/charts/EmptyChartState.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/RoundedBars.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "platform/LocalCalendar.h"

#include <qcustomplot.h>

#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

namespace {

const EmptyChartText withoutHistory{QStringLiteral("No throughput data yet"), {}};

constexpr int chartHeight = 120;
// Bars leave a small gap inside their day.
constexpr double barShareOfDay = 0.8;

QBrush barBrush() {
    QLinearGradient gradient(0.0, 0.0, 0.0, 1.0);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0.0, Palette::systemCyan());
    gradient.setColorAt(1.0, Palette::withOpacity(Palette::systemCyan(), 0.6));
    return {gradient};
}

} // namespace

DailyThroughputChartView::DailyThroughputChartView(std::vector<ThroughputPoint> series, TimeRange timeRange,
                                                   QWidget* parent)
    : QWidget(parent), data_(std::move(series)), timeRange_(timeRange), chart_(new QWidget(this)),
      header_(new HoverHeader(QStringLiteral("Daily effort (COCOMO months)"), Palette::textMuted())),
      plot_(ChartStyle::makePlot(timeRange, nullptr)),
      emptyState_(new EmptyChartState(chartHeight, QStringLiteral("chart.bar"), withoutHistory)) {
    connect(emptyState_, &EmptyChartState::allTimeRequested, this, &DailyThroughputChartView::allTimeRequested);
    ChartStyle::layOutBody(chart_, header_, plot_, chartHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chart_);
    layout->addWidget(emptyState_);

    bars_ = new RoundedBars(plot_->xAxis, ChartStyle::valueAxis(plot_), 2.0);
    bars_->setBrush(barBrush());
    bars_->setPen(Qt::NoPen);
    bars_->setWidthType(QCPBars::wtPlotCoords);
    rule_ = ChartStyle::makeRule(plot_, Palette::withOpacity(Palette::systemGray(), 0.5));

    // Bars stand in the middle of their day, so the pointer is measured against that spot.
    hover_ = std::make_unique<PlotHoverTracker>(plot_, PlotHoverTracker::MarkPlacement::middleOfDay, [this] {
        return PlotHoverTracker::pointsOf(ChartMath::pointsSince(data_, timeRange_.startDate()),
                                          &ThroughputPoint::throughput);
    });
    connect(hover_.get(), &PlotHoverTracker::changed, this, &DailyThroughputChartView::showHoverState);
    rebuild();
}

void DailyThroughputChartView::setData(std::vector<ThroughputPoint> series) {
    data_ = std::move(series);
    rebuild();
}

void DailyThroughputChartView::setHasHistory(bool hasHistory) {
    hasHistory_ = hasHistory;
    rebuild();
}

void DailyThroughputChartView::setTimeRange(TimeRange timeRange) {
    timeRange_ = timeRange;
    ChartStyle::dateTicker(plot_).setTimeRange(timeRange);
    rebuild();
}

QString DailyThroughputChartView::valueText(double throughput) {
    const QString number = formatFixed(throughput, 2);
    return isShowableNumber(throughput) ? number + QStringLiteral(" COCOMO months") : number;
}

bool DailyThroughputChartView::isShowingChart() const { return !chart_->isHidden(); }

void DailyThroughputChartView::rebuild() {
    const std::vector<ThroughputPoint> points = ChartMath::pointsSince(data_, timeRange_.startDate());
    const bool enough = points.size() >= 2;
    chart_->setVisible(enough);
    emptyState_->setVisible(!enough);
    if (!enough) {
        emptyState_->setText(
            EmptyChartText::forRange(withoutHistory, {hasHistory_, points.size(), timeRange_ != TimeRange::allTime},
                                     QStringLiteral("active day"), QStringLiteral("daily throughput")));
        return;
    }
    QVector<double> keys;
    QVector<double> values;
    double low = 0.0;
    double high = 0.0;
    double first = ChartMath::dayBounds(points.front().date).first;
    double last = ChartMath::dayBounds(points.front().date).second;
    for (const ThroughputPoint& point : points) {
        keys.append(ChartMath::dayCentre(point.date));
        values.append(point.throughput);
        low = std::min(low, point.throughput);
        high = std::max(high, point.throughput);
        first = std::min(first, ChartMath::dayBounds(point.date).first);
        last = std::max(last, ChartMath::dayBounds(point.date).second);
    }
    bars_->setData(keys, values);
    bars_->setWidth(barShareOfDay * 86400.0);
    plot_->xAxis->setRange(first, last);
    const ValueDomain domain = ChartMath::drawableDomain({low, high * 1.05});
    ChartStyle::valueAxis(plot_)->setRange(domain.lower, domain.upper);
    showHoverState();
}

void DailyThroughputChartView::showHoverState() {
    rule_->setVisible(false);
    if (const auto& hovered = hover_->point()) {
        header_->showReadOut(DateText::dateOnly(hovered->date), valueText(hovered->value), Palette::systemCyan());
        for (const ThroughputPoint& point : ChartMath::pointsSince(data_, timeRange_.startDate())) {
            if (platform::LocalCalendar::isSameDay(point.date, hovered->date)) {
                ChartStyle::placeRule(rule_, ChartMath::dayCentre(point.date));
            }
        }
    } else {
        header_->showPlaceholder();
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace norvane::app
