#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/ChartMath.h"
#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

namespace norvane::app {
namespace {

using std::chrono::hours;
using Placement = PlotHoverTracker::MarkPlacement;

std::optional<platform::Date> nearestDate(const std::vector<HoveredPoint>& points, platform::Date pointer,
                                          Placement placement = Placement::atInstant) {
    const auto found = PlotHoverTracker::nearest(points, ChartMath::axisCoordinate(pointer), placement);
    return found ? std::optional(found->date) : std::nullopt;
}

TEST(PlotHoverTracker, NearestPointTakesTheEarlierOnATieMidway) {
    const platform::Date base{};
    const std::vector<HoveredPoint> points = {{base, 1}, {base + hours(24), 2}, {base + hours(48), 3}};
    EXPECT_EQ(PlotHoverTracker::nearest(points, ChartMath::axisCoordinate(base + hours(12)), Placement::atInstant),
              (HoveredPoint{base, 1}));
    EXPECT_EQ(nearestDate(points, base + hours(13)), base + hours(24));
    EXPECT_EQ(nearestDate(points, base - hours(100)), base);
    EXPECT_EQ(nearestDate(points, base + hours(1000)), base + hours(48));
    EXPECT_EQ(nearestDate({{base + hours(24), 2}, {base, 1}}, base + hours(12)), base)
        << "the earlier point wins wherever it stands in the list";
    EXPECT_FALSE(nearestDate({}, base).has_value());
}

TEST(PlotHoverTracker, DayMarksAreMeasuredFromTheMiddleOfTheirDay) {
    const platform::Date day = platform::LocalCalendar::startOfDay(platform::Date{} + hours(24 * 400));
    const platform::Date nextDay = platform::LocalCalendar::addingDays(day, 1);
    const std::vector<HoveredPoint> points = {{day, 1}, {nextDay, 2}};
    EXPECT_EQ(nearestDate(points, day + hours(20)), nextDay);
    EXPECT_EQ(nearestDate(points, day + hours(20), Placement::middleOfDay), day);
    EXPECT_EQ(nearestDate(points, nextDay, Placement::middleOfDay), day) << "midnight lies midway between two noons";
}

} // namespace
} // namespace norvane::app
