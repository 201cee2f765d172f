#include "Norvane/components/charts/ChartMath.h"

#include <gtest/gtest.h>

#include <limits>

namespace norvane::app {
namespace {

TEST(ChartMath, PointsSinceKeepThePointAtTheStartAndTheOrder) {
    using std::chrono::hours;
    struct Point {
        platform::Date date;
        int label = 0;
    };
    const platform::Date start{hours(240)};
    const std::vector<Point> series = {
        {start + hours(7), 3}, {start - hours(1), 11}, {start, 10}, {start + hours(9), 1}};
    std::vector<int> kept;
    for (const Point& point : ChartMath::pointsSince(series, start)) {
        kept.push_back(point.label);
    }
    EXPECT_EQ(kept, (std::vector<int>{3, 10, 1}));
}

TEST(ChartMath, DomainsAlwaysDrawable) {
    const struct {
        ValueDomain in;
        ValueDomain out;
    } cases[] = {
        {{0, 0}, {0, 1}},
        {{5, 5}, {5, 6}},
        {{0, -2.2}, {-2.2, 0}},
        {{90, 220}, {90, 220}},
        {{std::numeric_limits<double>::quiet_NaN(), 3}, {0, 1}},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(ChartMath::drawableDomain(entry.in), entry.out);
    }
}

TEST(ChartMath, SmoothCurvePassesThroughEveryPointAndMovesForward) {
    const std::vector<QPointF> points = {{0, 1}, {1, 3}, {3, 2}, {4, 8}};
    const std::vector<QPointF> curve = ChartMath::smoothCurve(points, 8);
    ASSERT_EQ(curve.size(), 3U * 8U + 1U);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(curve[i * 8], points[i]);
    }
    for (std::size_t i = 1; i < curve.size(); ++i) {
        EXPECT_GT(curve[i].x(), curve[i - 1].x());
    }
    EXPECT_EQ(ChartMath::smoothCurve({{0, 1}, {1, 2}}, 8).size(), 2U);
}

// A flat stretch before a steep rise, as a project's first days give: the curve must not dip
// below the flat values on its way, nor rise above the peak after it.
TEST(ChartMath, SmoothCurveStaysBetweenTheValuesOfEachSegment) {
    const std::vector<QPointF> points = {{0, 1}, {64, 1.01}, {67, 4.3}, {68, 4.3}, {200, 0.5}};
    const std::vector<QPointF> curve = ChartMath::smoothCurve(points, 12);
    for (std::size_t segment = 0; segment + 1 < points.size(); ++segment) {
        const double low = std::min(points[segment].y(), points[segment + 1].y());
        const double high = std::max(points[segment].y(), points[segment + 1].y());
        for (std::size_t step = 0; step <= 12; ++step) {
            const double y = curve[segment * 12 + step].y();
            EXPECT_GE(y, low - 1e-12) << segment << " " << step;
            EXPECT_LE(y, high + 1e-12) << segment << " " << step;
        }
    }
}

} // namespace
} // namespace norvane::app
