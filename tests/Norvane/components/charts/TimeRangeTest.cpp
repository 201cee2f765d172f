#include "Norvane/components/charts/TimeRange.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

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
    const platform::Date now = localDate(2025, 4, 2);
    const auto days =
        DateAxisTicker::markDates(TimeRange::thirtyDays, localDate(2025, 3, 1, 12), localDate(2025, 3, 30), now).dates;
    ASSERT_EQ(days.size(), 5U);
    EXPECT_EQ(days.front(), localDate(2025, 3, 6));
    EXPECT_EQ(days[1], localDate(2025, 3, 11));
    const auto weeks =
        DateAxisTicker::markDates(TimeRange::ninetyDays, localDate(2025, 1, 1), localDate(2025, 4, 1), now).dates;
    ASSERT_GE(weeks.size(), 2U);
    EXPECT_EQ(weeks[1] - weeks[0], std::chrono::days(35));
    const auto months =
        DateAxisTicker::markDates(TimeRange::allTime, localDate(2020, 1, 1), localDate(2025, 1, 1), now).dates;
    ASSERT_GE(months.size(), 2U);
    EXPECT_EQ(months[0], localDate(2020, 1, 1));
    EXPECT_EQ(months[1], localDate(2020, 6, 1));
}

/// The labels of the marks between two dates, read at `now`, in American English.
QStringList axisLabels(TimeRange range, platform::Date lower, platform::Date upper, platform::Date now) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale previous = icu::Locale::getDefault();
    icu::Locale::setDefault(icu::Locale::getUS(), status);
    const QStringList labels = DateAxisTicker::labels(DateAxisTicker::markDates(range, lower, upper, now));
    icu::Locale::setDefault(previous, status);
    return labels;
}

// Found on charts of two points, which showed no date at all: no mark 5 units apart fell between
// their days.
TEST(DateAxisTicker, AnAxisTooShortForTheStrideIsMarkedByFinerUnits) {
    const ScopedTimeZone zone("UTC");
    // Two points on neighbouring days: the axis runs from the first day's start to the second's end.
    const platform::Date now = localDate(2025, 6, 1);
    EXPECT_EQ(axisLabels(TimeRange::thirtyDays, localDate(2025, 5, 6), localDate(2025, 5, 8), now),
              (QStringList{"May 6", "May 7", "May 8"}));
    EXPECT_EQ(axisLabels(TimeRange::allTime, localDate(2025, 3, 6), localDate(2025, 5, 20), now),
              (QStringList{"Apr", "May"}));
    EXPECT_EQ(axisLabels(TimeRange::oneYear, localDate(2025, 3, 6), localDate(2025, 3, 12), now).size(), 7)
        << "within one month the days are marked";
}

// Found as "Nov" among "Jan 2019" and "Sep 2020" at All Time, and as "Jul", "Dec" at 1 Year.
TEST(DateAxisTicker, EveryMarkNamesItsYearWhereTheChartReachesIntoAnotherYear) {
    const ScopedTimeZone zone("UTC");
    const platform::Date now = localDate(2026, 12, 7, 15);
    EXPECT_EQ(axisLabels(TimeRange::allTime, localDate(2019, 1, 1), localDate(2021, 1, 1), now),
              (QStringList{"Jan 2019", "Jun 2019", "Nov 2019", "Apr 2020", "Sep 2020"}));
    EXPECT_EQ(axisLabels(TimeRange::oneYear, localDate(2026, 2, 2), localDate(2026, 12, 7), now),
              (QStringList{"Jul 2026", "Dec 2026"}))
        << "a year's window reaches into the year before, whatever its data";
    EXPECT_EQ(axisLabels(TimeRange::allTime, localDate(2026, 1, 1), localDate(2026, 12, 7), now),
              (QStringList{"Jan", "Jun", "Nov"}))
        << "this year's months alone";
    EXPECT_EQ(axisLabels(TimeRange::thirtyDays, localDate(2026, 12, 25), localDate(2027, 1, 4), localDate(2027, 1, 5)),
              (QStringList{"Dec 25, 2026", "Dec 30, 2026", "Jan 4, 2027"}));
}

TEST(DateAxisTicker, KeepsEveryFewMarksSoThatNoLabelsOverlap) {
    EXPECT_EQ(DateAxisTicker::legibleMarks({0, 40, 80, 120}, {30, 30, 30, 30}), (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(DateAxisTicker::legibleMarks({0, 30, 60, 90, 120}, {50, 30, 50, 30, 50}),
              (std::vector<std::size_t>{0, 2, 4}));
    EXPECT_EQ(DateAxisTicker::legibleMarks({0, 1, 2}, {60, 60, 60}), (std::vector<std::size_t>{0}));
    EXPECT_TRUE(DateAxisTicker::legibleMarks({}, {}).empty());
}

} // namespace
} // namespace norvane::app
