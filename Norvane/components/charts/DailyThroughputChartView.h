#pragma once

#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCPBars;
class QCPItemLine;
class QCustomPlot;

namespace norvane::app {

class EmptyChartState;
class HoverHeader;

/// One day's effort: the day's start and the portfolio's effort-months of that day.
struct ThroughputPoint {
    platform::Date date;
    double throughput = 0.0;
};

/// The portfolio's daily effort as one bar per day over a time range, with a hover read-out.
class DailyThroughputChartView : public QWidget {
    Q_OBJECT
public:
    DailyThroughputChartView(std::vector<ThroughputPoint> series, TimeRange timeRange, QWidget* parent = nullptr);

    void setData(std::vector<ThroughputPoint> series);
    void setTimeRange(TimeRange timeRange);
    /// Whether any project's history was read: then an empty range was only quiet.
    void setHasHistory(bool hasHistory);

    /// "%.2f COCOMO months".
    static QString valueText(double throughput);

    bool isShowingChart() const;
    const EmptyChartState& emptyState() const { return *emptyState_; }
    const HoverHeader& header() const { return *header_; }
    const std::optional<HoveredPoint>& hovered() const { return hover_->point(); }

signals:
    /// The empty state's offer of All Time was taken; the page holds the range.
    void allTimeRequested();

private:
    void rebuild();
    void showHoverState();

    std::vector<ThroughputPoint> data_;
    TimeRange timeRange_;
    bool hasHistory_ = false;
    QWidget* chart_;
    HoverHeader* header_;
    QCustomPlot* plot_;
    QCPBars* bars_;
    QCPItemLine* rule_;
    // Gone before the chart's widgets: see PlotHoverTracker.
    std::unique_ptr<PlotHoverTracker> hover_;
    EmptyChartState* emptyState_;
};

} // namespace norvane::app
