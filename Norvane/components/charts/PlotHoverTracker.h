#pragma once

#include "platform/Date.h"

#include <QObject>
#include <QPointF>

#include <functional>
#include <optional>
#include <vector>

class QCustomPlot;

namespace norvane::app {

/// A point a chart can read out on hover: the date it stands for and its value.
struct HoveredPoint {
    platform::Date date;
    double value = 0.0;
    friend bool operator==(const HoveredPoint&, const HoveredPoint&) = default;
};

/// Follows the pointer over a chart's plot and holds the point the chart reads out: the one whose
/// mark stands nearest to the pointer. Leaving the plot clears it, and so does a wheel turn that
/// scrolls the plot away from under the pointer.
///
/// The chart owns it as a member, not through the plot: a plot torn down under the pointer is
/// told that the pointer left it while the chart's other widgets are already gone, and by then the
/// tracker must be gone too, so that nothing reads out into them.
class PlotHoverTracker : public QObject {
    Q_OBJECT
public:
    /// Where a chart draws a point's mark on its date axis.
    enum class MarkPlacement { atInstant, middleOfDay };
    using Points = std::function<std::vector<HoveredPoint>()>;

    /// `points` gives the points the chart shows at the moment the pointer moves.
    PlotHoverTracker(QCustomPlot* plot, MarkPlacement placement, Points points);

    const std::optional<HoveredPoint>& point() const { return point_; }
    void clear();

    /// The point whose mark stands nearest to `pointerX` (a date-axis coordinate); on a tie
    /// exactly midway between two marks the earlier point wins. None without points.
    static std::optional<HoveredPoint> nearest(const std::vector<HoveredPoint>& points, double pointerX,
                                               MarkPlacement placement);

    /// `points` as hover points, each with the value that `value` names.
    template <class Point>
    static std::vector<HoveredPoint> pointsOf(const std::vector<Point>& points, double Point::*value) {
        std::vector<HoveredPoint> result;
        result.reserve(points.size());
        for (const Point& point : points) {
            result.push_back({point.date, point.*value});
        }
        return result;
    }

signals:
    /// The hovered point was set or cleared.
    void changed();
    void dragEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointAt(double pixelX);
    /// Once the turn has scrolled what holds the plot, reads out what now lies under the pointer.
    void followScroll(QPointF globalPointer);

    QCustomPlot* plot_;
    MarkPlacement placement_;
    Points points_;
    std::optional<HoveredPoint> point_;
};

} // namespace norvane::app
