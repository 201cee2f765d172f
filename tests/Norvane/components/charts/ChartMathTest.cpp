#include "Norvane/components/charts/ChartMath.h"

#include <gtest/gtest.h>

#include <limits>

namespace norvane::app {
namespace {

using std::chrono::hours;

TEST(ChartMath, NearestIndexPrefersTheEarlierOnATie) {
    const platform::Date base{};
    const std::vector<platform::Date> dates = {base, base + hours(24), base + hours(48)};
    EXPECT_EQ(ChartMath::nearestIndex(dates, base + hours(12)), 0U);
    EXPECT_EQ(ChartMath::nearestIndex(dates, base + hours(13)), 1U);
    EXPECT_EQ(ChartMath::nearestIndex(dates, base - hours(100)), 0U);
    EXPECT_EQ(ChartMath::nearestIndex(dates, base + hours(1000)), 2U);
    EXPECT_FALSE(ChartMath::nearestIndex({}, base).has_value());
    const std::vector<platform::Date> same = {base, base};
    EXPECT_EQ(ChartMath::nearestIndex(same, base), 0U);
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

} // namespace
} // namespace norvane::app
