#include "Norvane/components/charts/MetricsTimelineChartView.h"

#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "Norvane/components/charts/EmptyChartState.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/LabelAxisTicker.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

#include <qcustomplot.h>

#include <QLocale>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

constexpr int timelineChartHeight = 150;
const EmptyChartText timelineWithoutHistory{QStringLiteral("Need more data points"), {}};

QBrush areaBrush(const QColor& color) {
    QLinearGradient gradient(0.0, 0.0, 0.0, 1.0);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0.0, Palette::withOpacity(color, 0.3));
    gradient.setColorAt(1.0, Palette::withOpacity(color, 0.05));
    return {gradient};
}

} // namespace

MetricsTimelineChartView::MetricsTimelineChartView(Inputs inputs, OrganicEstimate estimate, QWidget* parent)
    : QWidget(parent), inputs_(std::move(inputs)), estimate_(std::move(estimate)),
      emptyState_(
          new EmptyChartState(timelineChartHeight, QStringLiteral("chart.xyaxis.line"), timelineWithoutHistory)),
      chart_(new QWidget), header_(new HoverHeader(QStringLiteral("Hover to see values"), Palette::textMuted())),
      plot_(ChartStyle::makePlot(inputs_.timeRange, nullptr)) {
    ChartStyle::layOutBody(chart_, header_, plot_, timelineChartHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* state : {static_cast<QWidget*>(emptyState_), chart_}) {
        layout->addWidget(state);
    }

    QCPAxis* valueAxis = ChartStyle::valueAxis(plot_);
    area_ = plot_->addGraph(plot_->xAxis, valueAxis);
    area_->setPen(Qt::NoPen);
    line_ = plot_->addGraph(plot_->xAxis, valueAxis);
    hoverPoints_ = ChartStyle::makePointMark(plot_, Palette::textPrimary(), 10.0);

    hover_ = std::make_unique<PlotHoverTracker>(plot_, PlotHoverTracker::MarkPlacement::atInstant, [this] {
        return PlotHoverTracker::pointsOf(cachedChartData_, &DataPoint::value);
    });
    connect(hover_.get(), &PlotHoverTracker::changed, this, &MetricsTimelineChartView::showHoverState);
    connect(hover_.get(), &PlotHoverTracker::dragEnded, hover_.get(), &PlotHoverTracker::clear);
    connect(emptyState_, &EmptyChartState::allTimeRequested, this, &MetricsTimelineChartView::allTimeRequested);
    // Prepared at once, as on every change: a placeholder drawn meanwhile would take another
    // height, and the points of the range before would be drawn under the new one's name.
    prepare();
}

void MetricsTimelineChartView::setInputs(Inputs inputs) {
    const bool changed = !(identifier(inputs) == identifier(inputs_));
    inputs_ = std::move(inputs);
    if (changed) {
        prepare();
    }
}

QString MetricsTimelineChartView::rawValue(MetricType metric) {
    switch (metric) {
    case MetricType::estimatedValue: return QStringLiteral("Trad. Cost");
    case MetricType::effortMonths: return QStringLiteral("Trad. Time");
    case MetricType::leverage: return QStringLiteral("Trad. Leverage");
    }
    return {};
}

std::optional<MetricsTimelineChartView::MetricType>
MetricsTimelineChartView::metricTypeFromRawValue(const QString& text) {
    for (const MetricType metric : {MetricType::estimatedValue, MetricType::effortMonths, MetricType::leverage}) {
        if (rawValue(metric) == text) {
            return metric;
        }
    }
    return std::nullopt;
}

QColor MetricsTimelineChartView::color(MetricType metric) {
    switch (metric) {
    case MetricType::estimatedValue: return Palette::green();
    case MetricType::effortMonths: return Palette::amber();
    case MetricType::leverage: return Palette::cyan();
    }
    return Palette::cyan();
}

QString MetricsTimelineChartView::hoverValueText(MetricType metric, double value) {
    switch (metric) {
    case MetricType::estimatedValue: return formatCurrency(value);
    case MetricType::effortMonths: return formatMonths(value);
    case MetricType::leverage:
        return isShowableNumber(value) ? formatFixed(value, 1) + QStringLiteral("x") : formatFixed(value, 1);
    }
    return {};
}

QString MetricsTimelineChartView::axisValueText(MetricType metric, double value) {
    if (!isShowableNumber(value)) {
        return {};
    }
    switch (metric) {
    case MetricType::estimatedValue: return formatCompactCurrency(value);
    case MetricType::effortMonths: return formatFixed(value, 0);
    case MetricType::leverage: return formatFixed(value, 1);
    }
    return {};
}

std::vector<MetricsTimelineChartView::DataPoint>
MetricsTimelineChartView::computeChartData(const Inputs& inputs, const OrganicEstimate& estimate, platform::Date now) {
    const platform::Date start = inputs.timeRange.startDate(now);
    const platform::Date firstCommit = inputs.firstCommitDate.value_or(now);
    std::vector<TimelineSnapshot> kept;
    std::copy_if(inputs.snapshots.begin(), inputs.snapshots.end(), std::back_inserter(kept),
                 [start](const TimelineSnapshot& snapshot) { return snapshot.capturedAt >= start; });
    std::stable_sort(kept.begin(), kept.end(), [](const TimelineSnapshot& left, const TimelineSnapshot& right) {
        return left.capturedAt < right.capturedAt;
    });
    std::vector<DataPoint> points;
    for (const TimelineSnapshot& snapshot : downsample(kept, inputs.maxDataPoints)) {
        points.push_back(dataPoint(snapshot, firstCommit, inputs, estimate));
    }
    return points;
}

std::vector<TimelineSnapshot> MetricsTimelineChartView::downsample(const std::vector<TimelineSnapshot>& sorted,
                                                                   int maxDataPoints) {
    // Thinning needs room for the first and the last element.
    const std::size_t limit = static_cast<std::size_t>(std::max(maxDataPoints, 2));
    const std::size_t count = sorted.size();
    if (count <= limit) {
        return sorted;
    }
    std::vector<TimelineSnapshot> result{sorted.front()};
    if (limit > 2) {
        const double step = static_cast<double>(count - 2) / static_cast<double>(limit - 2);
        for (std::size_t k = 1; k <= limit - 2; ++k) {
            const auto index = static_cast<std::size_t>(step * static_cast<double>(k)) + 1;
            if (index < count - 1) {
                result.push_back(sorted[index]);
            }
        }
    }
    result.push_back(sorted.back());
    return result;
}

MetricsTimelineChartView::DataPoint MetricsTimelineChartView::dataPoint(const TimelineSnapshot& snapshot,
                                                                        platform::Date firstCommit,
                                                                        const Inputs& inputs,
                                                                        const OrganicEstimate& estimate) {
    double months = snapshot.cumulativeEffortMonths;
    double cost = snapshot.cumulativeEstimatedCost;
    if (!(months > 0.0) && !(cost > 0.0)) {
        const EffortAndCost fresh = estimate(snapshot.codeLines, inputs.averageWage, inputs.overhead);
        months = fresh.effortMonths;
        cost = fresh.estimatedCost;
    }
    switch (inputs.metric) {
    case MetricType::estimatedValue: return {snapshot.capturedAt, cost};
    case MetricType::effortMonths: return {snapshot.capturedAt, months};
    case MetricType::leverage: break;
    }
    const int days = platform::LocalCalendar::wholeDaysBetween(firstCommit, snapshot.capturedAt);
    // A headcount below one would divide by zero or flip the sign.
    const double people = std::max(inputs.headcount, 1);
    return {snapshot.capturedAt, months / people / (std::max(days, 1) / daysPerMonth)};
}

ValueDomain MetricsTimelineChartView::yDomain(const std::vector<DataPoint>& points) {
    if (points.empty()) {
        return {0.0, 100.0};
    }
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(),
                            [](const DataPoint& left, const DataPoint& right) { return left.value < right.value; });
    double lower = low->value * 0.9;
    if (!(lower >= 0.0)) {
        lower = 0.0;
    }
    return {lower, high->value * 1.1};
}

QString MetricsTimelineChartView::formatCurrency(double value) {
    if (!isShowableNumber(value)) {
        return QString::fromLatin1(noValueText);
    }
    const QLocale locale;
    const QString text = locale.currencySymbol().isEmpty() ? QString() : locale.toCurrencyString(value, QString(), 0);
    return text.isEmpty() ? QStringLiteral("$") + QString::number(*truncatedInteger(value)) : text;
}

QString MetricsTimelineChartView::formatMonths(double months) {
    if (!isShowableNumber(months)) {
        return QString::fromLatin1(noValueText);
    }
    if (months < 12.0) {
        return formatFixed(months, 1) + QStringLiteral(" months");
    }
    return formatFixed(months / 12.0, 1) + QStringLiteral(" years");
}

MetricsTimelineChartView::State MetricsTimelineChartView::state() const {
    return cachedChartData_.size() >= 2 ? State::chart : State::tooFewPoints;
}

MetricsTimelineChartView::TaskIdentifier MetricsTimelineChartView::identifier(const Inputs& inputs) {
    return {inputs.snapshots.size(), inputs.timeRange, inputs.metric};
}

void MetricsTimelineChartView::prepare() {
    cachedChartData_ = computeChartData(inputs_, estimate_, platform::currentDate());
    redraw();
}

void MetricsTimelineChartView::redraw() {
    const State current = state();
    emptyState_->setVisible(current == State::tooFewPoints);
    chart_->setVisible(current == State::chart);
    if (current == State::tooFewPoints) {
        // The snapshots are the project's whole history: a longer range holds all of them.
        const std::size_t history = inputs_.snapshots.size();
        emptyState_->setText(EmptyChartText::forRange(
            timelineWithoutHistory,
            {history > 0, cachedChartData_.size(), inputs_.timeRange != TimeRange::allTime && history >= 2},
            QStringLiteral("commit"), QStringLiteral("the trend")));
    }
    if (current != State::chart) {
        return;
    }
    const QColor metricColor = color(inputs_.metric);
    line_->setPen(QPen(metricColor, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    area_->setBrush(areaBrush(metricColor));
    hoverPoints_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, metricColor, metricColor, 10.0));
    ChartStyle::dateTicker(plot_).setTimeRange(inputs_.timeRange);
    const MetricType metric = inputs_.metric;
    ChartStyle::valueTicker(plot_).setLabelText([metric](double value) { return axisValueText(metric, value); });

    const std::vector<DataPoint>& points = cachedChartData_;
    std::vector<QPointF> corners;
    for (const DataPoint& point : points) {
        corners.emplace_back(ChartMath::axisCoordinate(point.date), point.value);
    }
    ChartStyle::setSmoothCurve(line_, area_, corners);
    const double first = corners.front().x();
    const double last = corners.back().x();
    // Points that share one instant still get a visible stretch of time around them.
    const double margin = last > first ? 0.0 : 43200.0;
    plot_->xAxis->setRange(first - margin, last + margin);
    const ValueDomain domain = ChartMath::drawableDomain(yDomain(points));
    ChartStyle::valueAxis(plot_)->setRange(domain.lower, domain.upper);
    showHoverState();
}

void MetricsTimelineChartView::showHoverState() {
    for (QCPItemLine* rule : rules_) {
        plot_->removeItem(rule);
    }
    rules_.clear();
    hoverPoints_->data()->clear();
    const auto& hovered = hover_->point();
    if (hovered) {
        header_->showReadOut(DateText::dateOnly(hovered->date), hoverValueText(inputs_.metric, hovered->value),
                             color(inputs_.metric));
    } else {
        header_->showPlaceholder();
    }
    if (hovered) {
        for (const DataPoint& point : cachedChartData_) {
            if (platform::LocalCalendar::isSameDay(point.date, hovered->date)) {
                const double x = ChartMath::axisCoordinate(point.date);
                hoverPoints_->addData(x, point.value);
                QCPItemLine* rule = ChartStyle::makeRule(plot_, Palette::withOpacity(Palette::systemGray(), 0.5));
                ChartStyle::placeRule(rule, x);
                rules_.push_back(rule);
            }
        }
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace norvane::app
