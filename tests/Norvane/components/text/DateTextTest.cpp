#include "Norvane/components/text/DateText.h"
#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

namespace norvane::app {
namespace {

platform::Date localDate(std::chrono::year_month_day day) {
    return platform::LocalCalendar::startOfDay(std::chrono::local_days(day));
}

TEST(DateText, CardDatesAreEnglishAndNameTheEndYearOnlyWhenItDiffersFromNow) {
    using namespace std::chrono;
    const platform::Date newYearsEve = localDate(2024y / December / 28);
    const platform::Date january = localDate(2025y / January / 3);
    EXPECT_EQ(DateText::abbreviatedMonthDay(january), QStringLiteral("Jan 3"));
    EXPECT_EQ(DateText::mediumDate(newYearsEve), QStringLiteral("Dec 28, 2024"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, january, localDate(2025y / June / 1)), QStringLiteral("Dec 28 - Jan 3"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, january, localDate(2026y / June / 1)),
              QStringLiteral("Dec 28 - Jan 3, 2025"));
    EXPECT_EQ(DateText::dateRange(newYearsEve, newYearsEve, january), QStringLiteral("Dec 28 - Dec 28, 2024"));
}

} // namespace
} // namespace norvane::app
