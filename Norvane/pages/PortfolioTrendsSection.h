#pragma once

#include <optional>
#include <vector>

#include <QWidget>

#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/state/MetricsSource.h"
#include "core/analytics/PortfolioMetrics.h"

class QVBoxLayout;

namespace norvane::app {

class PeriodComparisonsCard;
class TimeRangePicker;

/// The "Trends" section of the portfolio page: the rolling leverage over the chosen time range,
/// with the range picker, and the period comparisons while there are metrics.
class PortfolioTrendsSection : public QWidget {
    Q_OBJECT

public:
    PortfolioTrendsSection(TimeRange range, const std::vector<MetricsSource::LeveragePoint>& leverage,
                           const std::optional<PortfolioMetrics>& metrics, bool metricsPending,
                           QWidget* parent = nullptr);

    void setLeverage(const std::vector<MetricsSource::LeveragePoint>& leverage);
    /// Shows `range` as chosen elsewhere on the page, without telling it back.
    void setTimeRange(TimeRange range);
    /// Whether any project's history was read, and the active days of the chosen range.
    void setActivity(bool hasHistory, std::size_t activeDays);
    /// The period comparisons of `metrics`; while they are `pending`, the comparisons keep their
    /// room, so that what is below does not move down when they come.
    void setMetrics(const std::optional<PortfolioMetrics>& metrics, bool pending);

    TimeRangePicker& picker() const { return *picker_; }
    const RollingLeverageChartView& chart() const { return *chart_; }
    /// None without metrics, unless they are still to come; hidden until they come.
    const PeriodComparisonsCard* comparisons() const { return comparisons_; }

signals:
    void timeRangeChanged(norvane::app::TimeRange range);

private:
    QVBoxLayout* layout_;
    TimeRangePicker* picker_;
    RollingLeverageChartView* chart_;
    PeriodComparisonsCard* comparisons_ = nullptr;
};

} // namespace norvane::app
