#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QWidget>

#include <optional>
#include <vector>

class QCPBars;
class QCPItemLine;
class QCustomPlot;

namespace norvane::app {

class ChartPanel;
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

    /// The points not earlier than `startDate`, in their given order.
    static std::vector<ThroughputPoint> inRangePoints(const std::vector<ThroughputPoint>& series,
                                                      platform::Date startDate);
    /// "%.2f COCOMO months".
    static QString valueText(double throughput);

    bool isShowingChart() const;
    const HoverHeader& header() const { return *header_; }
    std::optional<platform::Date> hoveredDate() const { return hoveredDate_; }
    std::optional<double> hoveredValue() const { return hoveredValue_; }

private:
    void rebuild();
    void hoverAt(double pixelX);
    void clearHover();
    void showHoverState();

    std::vector<ThroughputPoint> data_;
    TimeRange timeRange_;
    std::optional<platform::Date> hoveredDate_;
    std::optional<double> hoveredValue_;
    QWidget* chart_;
    HoverHeader* header_;
    QCustomPlot* plot_;
    QCPBars* bars_;
    QCPItemLine* rule_;
    ChartPanel* emptyState_;
};

} // namespace norvane::app
