#include "Norvane/components/text/DateText.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane::app {
namespace {

using norvane::testing::localDate;

TEST(DateText, CardDatesAreEnglishAndNameTheEndYearOnlyWhenItDiffersFromNow) {
    const platform::Date newYearsEve = localDate(2024, 12, 28);
    const platform::Date january = localDate(2025, 1, 3);
    EXPECT_EQ(DateText::abbreviatedMonthDay(january), QStringLiteral("Jan 3"));
    EXPECT_EQ(DateText::mediumDate(newYearsEve), QStringLiteral("Dec 28, 2024"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, january, localDate(2025, 6, 1)), QStringLiteral("Dec 28 - Jan 3"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, january, localDate(2026, 6, 1)), QStringLiteral("Dec 28 - Jan 3, 2025"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, newYearsEve, january), QStringLiteral("Dec 28 - Dec 28, 2024"));
}

TEST(DateText, MonthDayHasNoLeadingZeros) {
    const norvane::testing::ScopedTimeZone zone("UTC");
    EXPECT_EQ(DateText::monthDay(localDate(2025, 3, 7, 23)), QStringLiteral("3/7"));
    EXPECT_EQ(DateText::monthDay(localDate(2025, 12, 25)), QStringLiteral("12/25"));
}

TEST(DateText, ElapsedTextUsesTheTwoLargestUnits) {
    const auto now = platform::currentDate();
    EXPECT_EQ(DateText::elapsedText(now - std::chrono::seconds(1), now), "1 second");
    EXPECT_EQ(DateText::elapsedText(now - std::chrono::seconds(312), now), "5 minutes, 12 seconds");
    EXPECT_EQ(DateText::elapsedText(now - std::chrono::hours(2), now), "2 hours");
    EXPECT_EQ(DateText::elapsedText(now - std::chrono::hours(49), now), "2 days, 1 hour");
}

} // namespace
} // namespace norvane::app
