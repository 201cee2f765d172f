#include "Norvane/components/charts/DailyThroughputChartView.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/ChartPanel.h"
#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/DateAxisTicker.h"
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
      emptyState_(
          ChartPanel::emptyState(chartHeight, QStringLiteral("chart.bar"), QStringLiteral("No throughput data yet"))) {
    auto* chartLayout = new QVBoxLayout(chart_);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->setSpacing(4);
    chartLayout->addWidget(header_);
    chartLayout->addWidget(plot_);
    plot_->setFixedHeight(chartHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chart_);
    layout->addWidget(emptyState_);

    bars_ = new RoundedBars(plot_->xAxis, ChartStyle::valueAxis(plot_), 2.0);
    bars_->setBrush(barBrush());
    bars_->setPen(Qt::NoPen);
    bars_->setWidthType(QCPBars::wtPlotCoords);
    rule_ = ChartStyle::makeRule(plot_, Palette::withOpacity(Palette::systemGray(), 0.5));

    auto* tracker = new PlotHoverTracker(plot_);
    connect(tracker, &PlotHoverTracker::moved, this, &DailyThroughputChartView::hoverAt);
    connect(tracker, &PlotHoverTracker::left, this, &DailyThroughputChartView::clearHover);
    rebuild();
}

void DailyThroughputChartView::setData(std::vector<ThroughputPoint> series) {
    data_ = std::move(series);
    rebuild();
}

void DailyThroughputChartView::setTimeRange(TimeRange timeRange) {
    timeRange_ = timeRange;
    ChartStyle::dateTicker(plot_).setTimeRange(timeRange);
    rebuild();
}

std::vector<ThroughputPoint> DailyThroughputChartView::inRangePoints(const std::vector<ThroughputPoint>& series,
                                                                     platform::Date startDate) {
    std::vector<ThroughputPoint> kept;
    std::copy_if(series.begin(), series.end(), std::back_inserter(kept),
                 [startDate](const ThroughputPoint& point) { return point.date >= startDate; });
    return kept;
}

QString DailyThroughputChartView::valueText(double throughput) {
    const QString number = formatFixed(throughput, 2);
    return isShowableNumber(throughput) ? number + QStringLiteral(" COCOMO months") : number;
}

bool DailyThroughputChartView::isShowingChart() const { return !chart_->isHidden(); }

void DailyThroughputChartView::rebuild() {
    const std::vector<ThroughputPoint> points = inRangePoints(data_, timeRange_.startDate());
    const bool enough = points.size() >= 2;
    chart_->setVisible(enough);
    emptyState_->setVisible(!enough);
    if (!enough) {
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

void DailyThroughputChartView::hoverAt(double pixelX) {
    const std::vector<ThroughputPoint> points = inRangePoints(data_, timeRange_.startDate());
    std::vector<platform::Date> dates;
    std::transform(points.begin(), points.end(), std::back_inserter(dates),
                   [](const ThroughputPoint& point) { return ChartMath::dateAt(ChartMath::dayCentre(point.date)); });
    // Marks stand in the middle of their day, so the pointer is measured against that spot.
    const auto nearest = ChartMath::nearestIndex(dates, ChartMath::dateAt(plot_->xAxis->pixelToCoord(pixelX)));
    if (!nearest) {
        return;
    }
    hoveredDate_ = points[*nearest].date;
    hoveredValue_ = points[*nearest].throughput;
    showHoverState();
}

void DailyThroughputChartView::clearHover() {
    hoveredDate_.reset();
    hoveredValue_.reset();
    showHoverState();
}

void DailyThroughputChartView::showHoverState() {
    rule_->setVisible(false);
    if (hoveredDate_ && hoveredValue_) {
        header_->showReadOut(DateText::dateOnly(*hoveredDate_), valueText(*hoveredValue_), Palette::systemCyan());
        for (const ThroughputPoint& point : inRangePoints(data_, timeRange_.startDate())) {
            if (platform::LocalCalendar::isSameDay(point.date, *hoveredDate_)) {
                ChartStyle::placeRule(rule_, ChartMath::dayCentre(point.date));
            }
        }
    } else {
        header_->showPlaceholder();
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace norvane::app
