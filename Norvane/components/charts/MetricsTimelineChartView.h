#pragma once

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/TimeRange.h"
#include "core/analytics/HistoryPoint.h"
#include "core/models/AppSettings.h"
#include "platform/Date.h"

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCPGraph;
class QCPItemLine;
class QCustomPlot;

namespace norvane::app {

class EmptyChartState;
class HoverHeader;

/// What the timeline reads of a history snapshot.
using TimelineSnapshot = HistoryPoint;

/// Effort and cost of a fresh estimate.
struct EffortAndCost {
    double effortMonths = 0.0;
    double estimatedCost = 0.0;
};

/// The organic-mode COCOMO estimate of a number of code lines with a wage and an overhead; the
/// caller passes the core library's estimate.
using OrganicEstimate = std::function<EffortAndCost(std::int64_t codeLines, double averageWage, double overhead)>;

/// One traditional-estimate metric of one project over time, prepared from raw snapshots: range
/// filter, sort, thinning and per-point value, with a hover read-out.
class MetricsTimelineChartView : public QWidget {
    Q_OBJECT
public:
    enum class MetricType { estimatedValue, effortMonths, leverage };

    struct Inputs {
        std::vector<TimelineSnapshot> snapshots;
        MetricType metric = MetricType::estimatedValue;
        TimeRange timeRange = TimeRange::thirtyDays;
        std::optional<platform::Date> firstCommitDate;
        double averageWage = AppSettings::defaultAverageWage;
        double overhead = AppSettings::defaultOverhead;
        int headcount = 1;
        int maxDataPoints = 50;
    };

    struct DataPoint {
        platform::Date date;
        double value = 0.0;
        friend bool operator==(const DataPoint&, const DataPoint&) = default;
    };

    MetricsTimelineChartView(Inputs inputs, OrganicEstimate estimate, QWidget* parent = nullptr);

    /// Takes new inputs; the points are prepared again only when the number of snapshots, the
    /// range or the metric changed.
    void setInputs(Inputs inputs);

    static QString rawValue(MetricType metric);
    static std::optional<MetricType> metricTypeFromRawValue(const QString& rawValue);
    static QColor color(MetricType metric);
    static QString hoverValueText(MetricType metric, double value);
    static QString axisValueText(MetricType metric, double value);

    static std::vector<DataPoint> computeChartData(const Inputs& inputs, const OrganicEstimate& estimate,
                                                   platform::Date now);
    static std::vector<TimelineSnapshot> downsample(const std::vector<TimelineSnapshot>& sorted, int maxDataPoints);
    static DataPoint dataPoint(const TimelineSnapshot& snapshot, platform::Date firstCommit, const Inputs& inputs,
                               const OrganicEstimate& estimate);
    static ValueDomain yDomain(const std::vector<DataPoint>& points);
    /// The amount as the locale writes currency, without fractions; "$" and the whole amount
    /// when the locale gives nothing.
    static QString formatCurrency(double value);
    /// "%.1f months" below 12, else "%.1f years".
    static QString formatMonths(double months);

    enum class State { tooFewPoints, chart };
    State state() const;
    const std::vector<DataPoint>& chartData() const { return cachedChartData_; }
    const HoverHeader& header() const { return *header_; }
    const EmptyChartState& emptyState() const { return *emptyState_; }
    const std::optional<HoveredPoint>& hovered() const { return hover_->point(); }

signals:
    /// The empty state's offer of All Time was taken; the page holds the range.
    void allTimeRequested();

private:
    struct TaskIdentifier {
        std::size_t snapshots;
        TimeRange timeRange;
        MetricType metric;
        friend bool operator==(const TaskIdentifier&, const TaskIdentifier&) = default;
    };

    static TaskIdentifier identifier(const Inputs& inputs);
    void prepare();
    void redraw();
    void showHoverState();

    Inputs inputs_;
    OrganicEstimate estimate_;
    std::vector<DataPoint> cachedChartData_;
    EmptyChartState* emptyState_;
    QWidget* chart_;
    HoverHeader* header_;
    QCustomPlot* plot_;
    QCPGraph* area_;
    QCPGraph* line_;
    QCPGraph* hoverPoints_;
    std::vector<QCPItemLine*> rules_;
    // Gone before the chart's widgets: see PlotHoverTracker.
    std::unique_ptr<PlotHoverTracker> hover_;
};

} // namespace norvane::app
