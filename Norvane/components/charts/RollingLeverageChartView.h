#pragma once

#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QColor>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCPGraph;
class QCPItemRect;
class QCPItemLine;
class QCustomPlot;

namespace norvane::app {

class EmptyChartState;
class HoverHeader;

/// The rolling leverage of one day.
struct LeveragePoint {
    platform::Date date;
    double leverage = 0.0;
};

/// A leverage band: from `minValue` inclusive up to `maxValue` exclusive.
struct LeverageBand {
    QString name;
    double minValue = 0.0;
    double maxValue = 0.0;
    QColor color;
};

/// A tinted horizontal stripe behind the line.
struct BandStripe {
    double lower = 0.0;
    double upper = 0.0;
    QColor color;
};

/// The portfolio's rolling leverage day by day against four fixed bands, with a hover read-out
/// and a legend naming the bands and the band of the newest value. Without points in its range it
/// asks for git history, or, where history was read, says that the range was quiet.
class RollingLeverageChartView : public QWidget {
    Q_OBJECT
public:
    RollingLeverageChartView(std::vector<LeveragePoint> series, TimeRange timeRange, QColor chartColor,
                             QWidget* parent = nullptr);

    void setData(std::vector<LeveragePoint> series);
    void setTimeRange(TimeRange timeRange);
    /// Whether any project's history was read, and how many active days the chosen range holds:
    /// a point needs 14 active days before it, so a range can hold days and no point.
    void setActivity(bool hasHistory, std::size_t activeDays);

    /// The largest leverage; 20 for no points.
    static double maxLeverage(const std::vector<LeveragePoint>& filtered);
    static double yAxisMaximum(const std::vector<LeveragePoint>& filtered);
    static const std::vector<LeverageBand>& leverageBands();
    /// The leading bands whose lower bound lies below the axis maximum.
    static std::vector<LeverageBand> visibleBands(double yAxisMaximum);
    /// The band that holds `leverage`; the top band for anything no band holds.
    static const LeverageBand& currentBand(double leverage);
    /// What the legend calls the last point's band: "Current:" when the point is of today, else the
    /// day it is of ("On Aug 18, 2026:"), since a quiet portfolio's last value is not today's.
    static QString currentBandTitle(platform::Date lastPoint, platform::Date now);
    /// "%.1fx (%.1f mo/day)", or "%.1fx (%.1f yr/day)" from a tenth of a year per day.
    static QString formatLeverage(double leverage);
    /// "%.0fx".
    static QString yAxisLabel(double value);
    /// "(0-5x)", "(20-∞x)".
    static QString bandRangeText(const LeverageBand& band);
    static std::vector<BandStripe> bandBackgrounds(double yAxisMaximum);

    bool isShowingChart() const;
    const EmptyChartState& emptyState() const { return *emptyState_; }
    const HoverHeader& header() const { return *header_; }
    const std::optional<HoveredPoint>& hovered() const { return hover_->point(); }

signals:
    /// The empty state's offer of All Time was taken; the page holds the range.
    void allTimeRequested();

private:
    void rebuild();
    void rebuildPlot(const std::vector<LeveragePoint>& points);
    void rebuildLegend(const std::vector<LeveragePoint>& points);
    void showHoverState();

    std::vector<LeveragePoint> data_;
    TimeRange timeRange_;
    bool hasHistory_ = false;
    std::size_t activeDays_ = 0;
    QColor chartColor_;
    QWidget* chart_;
    HoverHeader* header_;
    QCustomPlot* plot_;
    QCPGraph* area_;
    QCPGraph* line_;
    QCPGraph* lastPoint_;
    ChartStyle::HoverMarks hoverMarks_;
    // Gone before the chart's widgets: see PlotHoverTracker.
    std::unique_ptr<PlotHoverTracker> hover_;
    std::vector<QCPItemRect*> stripes_;
    QWidget* legend_;
    EmptyChartState* emptyState_;
};

} // namespace norvane::app
