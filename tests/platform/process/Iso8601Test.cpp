#include "platform/Iso8601.h"

#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane::platform {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

const Date piDay = sys_days(2026y / March / 14) + 9h + 26min + 53s;

TEST(Iso8601, FormatsWholeSecondsInUtc) {
    EXPECT_EQ(Iso8601::format(piDay), "2026-03-14T09:26:53Z");
    EXPECT_EQ(Iso8601::format(piDay + 999999us), "2026-03-14T09:26:53Z");
    EXPECT_EQ(Iso8601::format(Date{} - 500ms), "1969-12-31T23:59:59Z");
    EXPECT_EQ(Iso8601::format(distantPast()), "0001-01-01T00:00:00Z");
}

TEST(Iso8601, ParsesWhatItFormatsAndOtherZones) {
    EXPECT_EQ(Iso8601::parse(Iso8601::format(piDay)), piDay);
    EXPECT_EQ(Iso8601::parse("2026-03-14T11:26:53+02:00"), piDay);
    EXPECT_EQ(Iso8601::parse("2026-03-14T04:56:53-04:30"), piDay);
    EXPECT_EQ(Iso8601::parse("2026-03-14T09:26:53-00:00"), piDay);
    EXPECT_EQ(Iso8601::parse("2026-03-14T09:26:53.25Z"), piDay + 250ms);
    EXPECT_EQ(Iso8601::parse("2026-03-14T09:26:53.1234569Z"), piDay + 123456us);
    EXPECT_EQ(Iso8601::parse("2024-02-29T23:59:59Z"), sys_days(2024y / February / 29) + 86399s);
    EXPECT_EQ(Iso8601::parse("2026-01-01T00:30:00+01:00"), sys_days(2025y / December / 31) + 23h + 30min);
}

TEST(Iso8601, RejectsAnythingButTheStrictForm) {
    for (const char* text :
         {"", "2026-03-14", "2026-03-14T09:26:53", "2026-03-14 09:26:53Z", "2026-03-14T09:26:53z",
          "2026-3-14T09:26:53Z", "2026-03-14T09:26Z", "2026-03-14T09:26:53Z ", " 2026-03-14T09:26:53Z",
          "2026-03-14T09:26:53.Z", "2026-03-14T09:26:53+0200", "2026-03-14T09:26:53+24:00", "2026-03-14T09:26:53+02:60",
          "2026-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-00-01T00:00:00Z", "2026-03-14T24:00:00Z",
          "2026-03-14T23:59:60Z", "2026-03-14T09:26:53ZZ"}) {
        EXPECT_FALSE(Iso8601::parse(text).has_value()) << text;
    }
    EXPECT_FALSE(Iso8601::parse(std::string_view("2026-03-14T09:26:53Z\0", 21)).has_value());
}

TEST(Iso8601, LocalDayFollowsTheTimeZone) {
    const Date lateEvening = sys_days(2026y / March / 28) + 23h + 30min;
    {
        const testing::ScopedTimeZone zone("Europe/Berlin");
        EXPECT_EQ(Iso8601::formatLocalDay(lateEvening), "2026-03-29");
    }
    {
        const testing::ScopedTimeZone zone("America/New_York");
        EXPECT_EQ(Iso8601::formatLocalDay(lateEvening), "2026-03-28");
    }
}

} // namespace
} // namespace norvane::platform
