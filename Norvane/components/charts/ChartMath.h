#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QPointF>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace norvane::app {

/// The lower and upper bound of a value axis.
struct ValueDomain {
    double lower = 0.0;
    double upper = 0.0;
    friend bool operator==(const ValueDomain&, const ValueDomain&) = default;
};

/// Plain geometry and search rules shared by the charts.
class ChartMath {
public:
    /// The points dated not earlier than `startDate`, in their given order.
    template <class Point>
    static std::vector<Point> pointsSince(const std::vector<Point>& series, platform::Date startDate) {
        std::vector<Point> kept;
        std::copy_if(series.begin(), series.end(), std::back_inserter(kept),
                     [startDate](const Point& point) { return point.date >= startDate; });
        return kept;
    }

    /// A domain that an axis can draw: an inverted one is turned round, an empty one (all values
    /// equal) is widened by one unit upward, and non-finite bounds fall back to 0...1.
    static ValueDomain drawableDomain(ValueDomain domain);

    /// A smooth curve through every point (points ordered by x): cubic Hermite segments whose
    /// tangents follow the neighbouring points, so the curve never turns back in x, and between
    /// two points never leaves their values, so an axis that holds the points holds the curve.
    static std::vector<QPointF> smoothCurve(const std::vector<QPointF>& points, int samplesPerSegment);

    /// Seconds since the epoch, the x coordinate of every date axis.
    static double axisCoordinate(platform::Date date);
    /// The date at an x coordinate.
    static platform::Date dateAt(double axisCoordinate);
    /// The x coordinates of the start and of the end of the local day that holds `date`.
    static std::pair<double, double> dayBounds(platform::Date date);
    /// The x coordinate of the middle of the local day that holds `date`: where a mark binned to
    /// its day stands.
    static double dayCentre(platform::Date date);
    /// The start of the local calendar `unit` that holds `date`: its day, its week (from the
    /// locale's first day of the week), its month or its year.
    static platform::Date unitStart(AxisStrideComponent unit, platform::Date date);
};

} // namespace norvane::app
