#include "platform/Date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace norvane::platform {
namespace {

using namespace std::chrono_literals;

TEST(Date, ConvertsSecondsSinceTheEpochBothWays) {
    EXPECT_EQ(dateFromSecondsSinceEpoch(1.5), Date{} + 1500ms);
    EXPECT_EQ(dateFromSecondsSinceEpoch(0.1), Date{} + 100000us);
    EXPECT_EQ(dateFromSecondsSinceEpoch(-2.25), Date{} - 2250ms);
    EXPECT_DOUBLE_EQ(secondsSinceEpoch(Date{} + 1773480413s + 250ms), 1773480413.25);
    const Date moment = Date{} + 1773480413123456us;
    EXPECT_EQ(dateFromSecondsSinceEpoch(secondsSinceEpoch(moment)), moment);
}

TEST(Date, OutOfRangeSecondsStayRepresentable) {
    EXPECT_EQ(dateFromSecondsSinceEpoch(std::nan("")), Date{});
    EXPECT_GT(dateFromSecondsSinceEpoch(std::numeric_limits<double>::infinity()), Date{} + 24h * 365 * 100000);
    EXPECT_LT(dateFromSecondsSinceEpoch(-1e300), distantPast());
}

} // namespace
} // namespace norvane::platform
