#include "platform/LocalCalendar.h"
#include "platform/LocalDayStarts.h"

#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace norvane::platform {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

/// A moment given in UTC.
Date utc(int year, unsigned month, unsigned day, int hour, int minute = 0) {
    return sys_days(std::chrono::year(year) / month / day) + hours(hour) + minutes(minute);
}

TEST(LocalCalendar, SpringForwardDayIsOneDayOfTwentyThreeHours) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const Date saturdayNoon = utc(2026, 3, 28, 11);        // 12:00 CET
    const Date sundayNoon = utc(2026, 3, 29, 10);          // 12:00 CEST
    const Date sundayBeforeNoon = utc(2026, 3, 29, 9, 30); // 11:30 CEST
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(saturdayNoon, sundayNoon), 1);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(saturdayNoon, sundayBeforeNoon), 0);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(sundayNoon, saturdayNoon), -1);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(sundayBeforeNoon, saturdayNoon), 0);
    EXPECT_EQ(LocalCalendar::addingDays(saturdayNoon, 1), sundayNoon);
    EXPECT_EQ(LocalCalendar::addingDays(sundayNoon, -1), saturdayNoon);
    EXPECT_EQ(LocalCalendar::startOfDay(sundayNoon), utc(2026, 3, 28, 23));
    EXPECT_EQ(LocalCalendar::startOfDay(utc(2026, 3, 30, 10)), utc(2026, 3, 29, 22));
}

TEST(LocalCalendar, FallBackDayIsOneDayOfTwentyFiveHours) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const Date saturdayNoon = utc(2026, 10, 24, 10); // 12:00 CEST
    const Date sundayNoon = utc(2026, 10, 25, 11);   // 12:00 CET
    EXPECT_EQ(LocalCalendar::addingDays(saturdayNoon, 1), sundayNoon);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(saturdayNoon, sundayNoon - 1min), 0);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(saturdayNoon, sundayNoon), 1);
}

TEST(LocalCalendar, WallClockTimesInTheGapMoveForwardAndRepeatedOnesTakeTheFirst) {
    const testing::ScopedTimeZone zone("America/New_York");
    // 02:30 on 8 March does not exist: it becomes 03:30 EDT.
    EXPECT_EQ(LocalCalendar::addingDays(utc(2026, 3, 7, 7, 30), 1), utc(2026, 3, 8, 7, 30));
    // 01:30 on 1 November happens twice: first in EDT.
    EXPECT_EQ(LocalCalendar::addingDays(utc(2026, 10, 31, 5, 30), 1), utc(2026, 11, 1, 5, 30));
    EXPECT_EQ(LocalCalendar::components(utc(2026, 11, 1, 6, 30)).hour, 1);
    EXPECT_EQ(LocalCalendar::addingDays(utc(2026, 10, 31, 16), 1), utc(2026, 11, 1, 17));
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(utc(2026, 3, 7, 17), utc(2026, 3, 8, 16)), 1);
    EXPECT_EQ(LocalCalendar::startOfDay(utc(2026, 3, 8, 16)), utc(2026, 3, 8, 5));
}

TEST(LocalCalendar, DayStartsAfterAMidnightThatDoesNotExistOrAtTheFirstOfTwo) {
    const testing::ScopedTimeZone zone("America/Havana");
    EXPECT_EQ(LocalCalendar::startOfDay(utc(2026, 3, 8, 16)), utc(2026, 3, 8, 5)); // 01:00 CDT
    // A whole day after that start is 01:00 on the 9th; the 9th itself starts at midnight.
    EXPECT_EQ(LocalCalendar::startOfDay(LocalCalendar::localDay(utc(2026, 3, 8, 16)) + days(1)), utc(2026, 3, 9, 4));
    EXPECT_EQ(LocalCalendar::startOfDay(utc(2026, 11, 1, 17)), utc(2026, 11, 1, 4)); // first 00:00
}

TEST(LocalCalendar, DayStartsOfMomentsInAnyOrderAcrossAMissingAndATwiceShownMidnight) {
    const testing::ScopedTimeZone zone("America/Havana");
    // Each moment with the start of its local day, worked out by hand: 8 March begins at 01:00
    // CDT, 1 November at the first of its two midnights.
    const std::vector<std::pair<Date, Date>> moments{
        {utc(2026, 3, 8, 16), utc(2026, 3, 8, 5)},      {utc(2026, 3, 9, 3, 59), utc(2026, 3, 8, 5)},
        {utc(2026, 3, 9, 4), utc(2026, 3, 9, 4)},       {utc(2026, 3, 7, 23), utc(2026, 3, 7, 5)},
        {utc(2026, 3, 8, 4, 59), utc(2026, 3, 7, 5)},   {utc(2026, 3, 8, 5), utc(2026, 3, 8, 5)},
        {utc(2026, 11, 1, 5, 30), utc(2026, 11, 1, 4)}, {utc(2026, 11, 2, 5), utc(2026, 11, 2, 5)},
        {utc(2026, 10, 31, 20), utc(2026, 10, 31, 4)},  {utc(2026, 11, 1, 4, 30), utc(2026, 11, 1, 4)},
        {utc(2026, 11, 2, 4, 59), utc(2026, 11, 1, 4)}, {utc(2026, 3, 9, 12), utc(2026, 3, 9, 4)}};
    LocalDayStarts forward;
    for (const auto& [moment, dayStart] : moments) EXPECT_EQ(forward.of(moment), dayStart);
    LocalDayStarts backward;
    for (auto place = moments.rbegin(); place != moments.rend(); ++place) {
        EXPECT_EQ(backward.of(place->first), place->second);
    }
}

TEST(LocalCalendar, CrossesTheYearEnd) {
    const testing::ScopedTimeZone zone("America/New_York");
    const Date lateOnNewYearsEve = utc(2026, 1, 1, 4); // 23:00 EST
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(lateOnNewYearsEve, utc(2026, 1, 1, 6)), 0);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(lateOnNewYearsEve, utc(2026, 1, 2, 4)), 1);
    EXPECT_FALSE(LocalCalendar::isSameDay(lateOnNewYearsEve, utc(2026, 1, 1, 6)));
    EXPECT_EQ(LocalCalendar::startOfDay(utc(2026, 1, 1, 5, 30)), utc(2026, 1, 1, 5));
    EXPECT_EQ(LocalCalendar::components(LocalCalendar::addingDays(lateOnNewYearsEve, 1)),
              (LocalDateComponents{.year = 2026, .month = 1, .day = 1, .hour = 23, .weekday = 5})); // Thursday
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(utc(2024, 1, 1, 17), utc(2025, 1, 1, 17)), 366);
}

TEST(LocalCalendar, LastMomentOfTheDayStartsAtItsMidnight) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const Date midnight = utc(2026, 3, 13, 23);
    const Date lastMoment = midnight + 24h - 1us;
    EXPECT_EQ(LocalCalendar::startOfDay(lastMoment), midnight);
    EXPECT_EQ(LocalCalendar::startOfDay(midnight + 23h + 59min), midnight);
    EXPECT_TRUE(LocalCalendar::isSameDay(midnight, lastMoment));
    EXPECT_FALSE(LocalCalendar::isSameDay(lastMoment, lastMoment + 1us));
    EXPECT_EQ(LocalCalendar::addingDays(lastMoment, 1), midnight + 48h - 1us);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(midnight, lastMoment), 0);
    EXPECT_EQ(LocalCalendar::wholeDaysBetween(midnight, lastMoment + 1us), 1);
}

TEST(LocalCalendar, AddsMonthsClampedToTheMonthsEnd) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(LocalCalendar::addingMonths(utc(2026, 1, 31, 9), 1), utc(2026, 2, 28, 9));
    EXPECT_EQ(LocalCalendar::addingMonths(utc(2024, 1, 31, 9), 1), utc(2024, 2, 29, 9));
    EXPECT_EQ(LocalCalendar::addingMonths(utc(2025, 12, 15, 9), 1), utc(2026, 1, 15, 9));
    EXPECT_EQ(LocalCalendar::addingMonths(utc(2026, 3, 31, 8), -1), utc(2026, 2, 28, 9));
    EXPECT_EQ(LocalCalendar::addingMonths(utc(2026, 3, 15, 11), 1), utc(2026, 4, 15, 10)); // 12:00 both
}

TEST(LocalCalendar, ComponentsRoundTripAndInvalidOnesGiveNone) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const LocalDateComponents fields = LocalCalendar::components(utc(2026, 3, 14, 8, 26) + 53s);
    EXPECT_EQ(fields, (LocalDateComponents{2026, 3, 14, 9, 26, 53, 7})); // Saturday
    EXPECT_EQ(LocalCalendar::dateFromComponents(fields), utc(2026, 3, 14, 8, 26) + 53s);

    const auto invalid = [&fields](auto change) {
        LocalDateComponents changed = fields;
        change(changed);
        return !LocalCalendar::dateFromComponents(changed).has_value();
    };
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.month = 2, c.day = 29; }));
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.month = 13; }));
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.month = 257; }));
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.day = 0; }));
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.hour = 24; }));
    EXPECT_TRUE(invalid([](LocalDateComponents& c) { c.second = -1; }));
}

} // namespace
} // namespace norvane::platform
