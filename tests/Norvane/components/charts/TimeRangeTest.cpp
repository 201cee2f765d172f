#include "Norvane/components/charts/TimeRange.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane::app {
namespace {

namespace calendar = platform::LocalCalendar;
using norvane::testing::localDate;
using norvane::testing::ScopedTimeZone;

TEST(TimeRange, ReadsOnlyItsExactTexts) {
    EXPECT_EQ(TimeRange::fromRawValue(QStringLiteral("30 Days")), TimeRange(TimeRange::thirtyDays));
    for (const char* text : {"30 days", " 30 Days", "", "all time"}) {
        EXPECT_FALSE(TimeRange::fromRawValue(QString::fromLatin1(text)).has_value()) << text;
    }
}

TEST(TimeRange, StartDatesGoBackByCalendarUnits) {
    const ScopedTimeZone zone("Europe/Berlin");
    const platform::Date now = localDate(2025, 3, 15, 14, 30);
    EXPECT_EQ(TimeRange(TimeRange::oneYear).startDate(now), localDate(2024, 3, 15, 14, 30));
    EXPECT_EQ(TimeRange(TimeRange::thirtyDays).startDate(localDate(2025, 3, 10, 9)), localDate(2025, 2, 8, 9));
    EXPECT_EQ(TimeRange(TimeRange::thirtyDays).startDate(localDate(2024, 3, 10, 9)), localDate(2024, 2, 9, 9));
    EXPECT_EQ(TimeRange(TimeRange::ninetyDays).startDate(now), calendar::addingDays(now, -90));
    EXPECT_EQ(TimeRange(TimeRange::allTime).startDate(now), platform::distantPast());
}

TEST(TimeRange, StartDateIsReadAfreshEachTime) {
    const platform::Date first = TimeRange(TimeRange::thirtyDays).startDate();
    const platform::Date later =
        TimeRange(TimeRange::thirtyDays).startDate(platform::currentDate() + std::chrono::minutes(1));
    EXPECT_GE(later - first, std::chrono::seconds(59));
}

TEST(DateAxisTicker, MarksStandFiveUnitsApart) {
    const ScopedTimeZone zone("UTC");
    const auto days =
        DateAxisTicker::markDates(TimeRange::thirtyDays, localDate(2025, 3, 1, 12), localDate(2025, 3, 30));
    ASSERT_EQ(days.size(), 5U);
    EXPECT_EQ(days.front(), localDate(2025, 3, 6));
    EXPECT_EQ(days[1], localDate(2025, 3, 11));
    const auto weeks = DateAxisTicker::markDates(TimeRange::ninetyDays, localDate(2025, 1, 1), localDate(2025, 4, 1));
    ASSERT_GE(weeks.size(), 2U);
    EXPECT_EQ(weeks[1] - weeks[0], std::chrono::days(35));
    const auto months = DateAxisTicker::markDates(TimeRange::allTime, localDate(2020, 1, 1), localDate(2025, 1, 1));
    ASSERT_GE(months.size(), 2U);
    EXPECT_EQ(months[0], localDate(2020, 1, 1));
    EXPECT_EQ(months[1], localDate(2020, 6, 1));
}

} // namespace
} // namespace norvane::app
