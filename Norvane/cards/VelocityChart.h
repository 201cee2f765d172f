#pragma once

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/TimeRange.h"
#include "core/analytics/PortfolioMetricsService.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCPGraph;
class QCPItemLine;
class QCPItemText;
class QCustomPlot;

namespace norvane::app {

class HoverHeader;

/// The chart block of the velocity retention card: the velocity series as a smoothed line over a
/// faint area, dashed rules at the baseline and at the community median, and a header line that
/// reads out the point nearest the pointer.
class VelocityChart : public QWidget {
    Q_OBJECT
public:
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;

    struct Inputs {
        std::vector<VelocityPoint> velocityData;
        std::optional<double> baselineVelocity;
        std::optional<double> industryMedian;
        std::optional<QString> sizeBucket;
        int selectedDays = 90;
    };

    explicit VelocityChart(Inputs inputs, QWidget* parent = nullptr);

    /// Takes the caller's window: it sets the date axis's marks and labels.
    void setSelectedDays(int selectedDays);

    /// The chart's height.
    static constexpr int plotHeight = 150;
    /// The placeholder standing in for the block when there are fewer than two points.
    static QWidget* makePlaceholder();
    /// The range whose date marks the axis uses: every 5 days for 30, every 5 weeks for 90, every
    /// 5 months otherwise.
    static TimeRange axisRange(int selectedDays);
    /// The points that can be drawn (finite velocities), in their given order.
    static std::vector<VelocityPoint> drawablePoints(const std::vector<VelocityPoint>& points);
    /// From zero (or the lowest value) to the highest of the points and the rules, with room above
    /// for the baseline's label.
    static ValueDomain valueDomain(const Inputs& inputs);

    const HoverHeader& header() const { return *header_; }
    const std::optional<HoveredPoint>& hovered() const { return hover_->point(); }
    const QCustomPlot& plot() const { return *plot_; }
    /// The rules drawn now: the baseline's and the median's, each with its label's text.
    std::optional<QString> baselineRuleLabel() const;
    std::optional<QString> medianRuleLabel() const;

private:
    void plotSeries();
    void placeRules();
    void showHoverState();

    Inputs inputs_;
    HoverHeader* header_;
    QCustomPlot* plot_;
    QCPItemLine* baselineRule_;
    QCPItemText* baselineLabel_;
    QCPItemLine* medianRule_;
    QCPItemText* medianLabel_;
    QCPGraph* area_;
    QCPGraph* line_;
    QCPGraph* lastPoint_;
    ChartStyle::HoverMarks hoverMarks_;
    // Gone before the chart's widgets: see PlotHoverTracker.
    std::unique_ptr<PlotHoverTracker> hover_;
};

} // namespace norvane::app
