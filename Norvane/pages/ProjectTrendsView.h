#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QWidget>

#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/pages/ProjectDetailModel.h"

class QVBoxLayout;

namespace norvane::app {

class TimeRangePicker;

/// The project page's "Trends": the traditional cost, time and leverage of the project's history
/// over the chosen time range, each in its own chart.
class ProjectTrendsView : public QWidget {
    Q_OBJECT
public:
    explicit ProjectTrendsView(TimeRange timeRange, QWidget* parent = nullptr);

    /// The history snapshots, oldest first, the project's first commit, and the wage and overhead
    /// of the estimates where a snapshot carries none.
    void setHistory(const std::vector<TimelineSnapshot>& history, std::optional<platform::Date> firstCommitDate,
                    CostRates rates);
    void setTimeRange(TimeRange timeRange);

    TimeRangePicker& picker() const { return *picker_; }
    const std::array<MetricsTimelineChartView*, 3>& charts() const { return charts_; }

signals:
    /// The range the user picked, or All Time that a chart offered; the owner holds it.
    void timeRangeChanged(norvane::app::TimeRange timeRange);

private:
    MetricsTimelineChartView::Inputs inputs(MetricsTimelineChartView::MetricType metric) const;

    TimeRange timeRange_;
    std::vector<TimelineSnapshot> history_;
    std::optional<platform::Date> firstCommitDate_;
    CostRates rates_;
    TimeRangePicker* picker_;
    std::array<QVBoxLayout*, 3> blocks_{};
    std::array<MetricsTimelineChartView*, 3> charts_{};
};

} // namespace norvane::app
