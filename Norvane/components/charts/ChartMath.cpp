#include "Norvane/components/charts/ChartMath.h"

#include "platform/LocalCalendar.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <utility>

namespace norvane::app {

namespace {

/// Narrows the tangents at `points` so that each segment between them is monotone.
void limitToMonotone(const std::vector<QPointF>& points, std::vector<double>& tangents) {
    // Fritsch and Carlson: a segment's end tangents keep the sign of its slope and stay within
    // three times it, so the curve runs between the segment's two values without overshooting.
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double run = points[i + 1].x() - points[i].x();
        const double slope = run > 0.0 ? (points[i + 1].y() - points[i].y()) / run : 0.0;
        if (slope == 0.0) {
            tangents[i] = 0.0;
            tangents[i + 1] = 0.0;
            continue;
        }
        double start = tangents[i] / slope;
        double end = tangents[i + 1] / slope;
        start = std::max(start, 0.0);
        end = std::max(end, 0.0);
        const double size = std::hypot(start, end);
        if (size > 3.0) {
            start *= 3.0 / size;
            end *= 3.0 / size;
        }
        tangents[i] = start * slope;
        tangents[i + 1] = end * slope;
    }
}

} // namespace

ValueDomain ChartMath::drawableDomain(ValueDomain domain) {
    if (!std::isfinite(domain.lower) || !std::isfinite(domain.upper)) {
        return {0.0, 1.0};
    }
    if (domain.upper < domain.lower) {
        std::swap(domain.lower, domain.upper);
    }
    if (domain.upper == domain.lower) {
        domain.upper = domain.lower + 1.0;
    }
    return domain;
}

std::vector<QPointF> ChartMath::smoothCurve(const std::vector<QPointF>& points, int samplesPerSegment) {
    if (points.size() < 3 || samplesPerSegment < 2) {
        return points;
    }
    const std::size_t count = points.size();
    std::vector<double> tangents(count);
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF& before = points[i == 0 ? 0 : i - 1];
        const QPointF& after = points[i + 1 == count ? i : i + 1];
        const double run = after.x() - before.x();
        tangents[i] = run > 0.0 ? (after.y() - before.y()) / run : 0.0;
    }
    limitToMonotone(points, tangents);
    std::vector<QPointF> curve;
    curve.reserve((count - 1) * static_cast<std::size_t>(samplesPerSegment) + 1);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const QPointF& start = points[i];
        const QPointF& end = points[i + 1];
        const double width = end.x() - start.x();
        for (int step = 0; step < samplesPerSegment; ++step) {
            const double t = static_cast<double>(step) / samplesPerSegment;
            const double t2 = t * t;
            const double t3 = t2 * t;
            const double y = (2 * t3 - 3 * t2 + 1) * start.y() + (t3 - 2 * t2 + t) * width * tangents[i] +
                             (-2 * t3 + 3 * t2) * end.y() + (t3 - t2) * width * tangents[i + 1];
            curve.emplace_back(start.x() + t * width, y);
        }
    }
    curve.push_back(points.back());
    return curve;
}

double ChartMath::axisCoordinate(platform::Date date) { return platform::secondsSinceEpoch(date); }

platform::Date ChartMath::dateAt(double axisCoordinate) { return platform::dateFromSecondsSinceEpoch(axisCoordinate); }

std::pair<double, double> ChartMath::dayBounds(platform::Date date) {
    const platform::Date start = platform::LocalCalendar::startOfDay(date);
    return {axisCoordinate(start), axisCoordinate(platform::LocalCalendar::addingDays(start, 1))};
}

double ChartMath::dayCentre(platform::Date date) {
    const auto [start, end] = dayBounds(date);
    return (start + end) / 2.0;
}

platform::Date ChartMath::unitStart(AxisStrideComponent unit, platform::Date date) {
    namespace calendar = platform::LocalCalendar;
    const platform::Date day = calendar::startOfDay(date);
    platform::LocalDateComponents fields = calendar::components(day);
    switch (unit) {
    case AxisStrideComponent::day: return day;
    case AxisStrideComponent::weekOfYear: {
        // Qt counts Monday as 1 and Sunday as 7; the calendar counts Sunday as 1.
        const int firstWeekday = QLocale::system().firstDayOfWeek() % 7 + 1;
        return calendar::addingDays(day, -((fields.weekday - firstWeekday + 7) % 7));
    }
    case AxisStrideComponent::month: fields.day = 1; break;
    case AxisStrideComponent::year:
        fields.month = 1;
        fields.day = 1;
        break;
    }
    return calendar::dateFromComponents(fields).value_or(day);
}

} // namespace norvane::app
