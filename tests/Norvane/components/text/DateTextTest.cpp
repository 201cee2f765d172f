#include "Norvane/components/text/DateText.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <utility>

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

// Found as "Jul", "Dec" on a year's chart and "Nov" among "Jan 2019" and "Sep 2020" at All Time:
// a label that leaves its year open where the chart reaches into another year.
TEST(DateText, DateAxesNameTheYearOfEveryLabelUnlessAllTheyCoverIsThisYear) {
    const norvane::testing::ScopedTimeZone zone("UTC");
    const platform::Date now = localDate(2026, 12, 7, 15);
    EXPECT_TRUE(DateText::axisNamesYear(TimeRange::oneYear, localDate(2026, 2, 1), localDate(2026, 12, 7), now))
        << "a year's window starts last year, whatever its data";
    EXPECT_TRUE(DateText::axisNamesYear(TimeRange::allTime, localDate(2019, 1, 1), localDate(2020, 9, 1), now));
    EXPECT_TRUE(DateText::axisNamesYear(TimeRange::allTime, localDate(2025, 3, 1), localDate(2025, 9, 1), now))
        << "months of last year, read today";
    EXPECT_FALSE(DateText::axisNamesYear(TimeRange::allTime, localDate(2026, 3, 1), localDate(2026, 9, 1), now));
    EXPECT_FALSE(DateText::axisNamesYear(TimeRange::thirtyDays, localDate(2026, 11, 8), localDate(2026, 12, 7), now));
    EXPECT_TRUE(DateText::axisNamesYear(TimeRange::thirtyDays, localDate(2026, 12, 20), localDate(2027, 1, 3),
                                        localDate(2027, 1, 5)));

    const testing::AmericanEnglish english;
    EXPECT_EQ(DateText::axisLabel(localDate(2019, 11, 1), AxisStrideComponent::month, true), "Nov 2019");
    EXPECT_EQ(DateText::axisLabel(localDate(2019, 11, 1), AxisStrideComponent::month, false), "Nov");
    EXPECT_EQ(DateText::axisLabel(localDate(2025, 3, 7), AxisStrideComponent::weekOfYear, true), "Mar 7, 2025");
    EXPECT_EQ(DateText::axisLabel(localDate(2025, 3, 7), AxisStrideComponent::day, false), "Mar 7");
    EXPECT_EQ(DateText::axisLabel(localDate(2025, 1, 1), AxisStrideComponent::year, false), "2025");
    EXPECT_EQ(DateText::periodText(localDate(2025, 3, 3), AxisStrideComponent::weekOfYear), "Week of March 3, 2025");
    EXPECT_EQ(DateText::periodText(localDate(2025, 3, 1), AxisStrideComponent::month), "March 2025");
}

// Found on a Spanish desktop: the scheduling step and the settings wrote "5:00 AM", in the C locale
// whatever the user's.
TEST(DateText, AnHourOfTheDayIsWrittenInTheUsersLocale) {
    const QLocale previous;
    const std::pair<QLocale, QStringList> expected[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), {"12:00 AM", "5:00 AM", "12:00 PM", "5:00 PM"}},
        {QLocale(QLocale::Spanish, QLocale::Spain),
         {"12:00 a.\u00a0m.", "5:00 a.\u00a0m.", "12:00 p.\u00a0m.", "5:00 p.\u00a0m."}},
        {QLocale(QLocale::Korean, QLocale::SouthKorea), {"12:00 오전", "5:00 오전", "12:00 오후", "5:00 오후"}},
    };
    for (const auto& [locale, hourTexts] : expected) {
        QLocale::setDefault(locale);
        EXPECT_EQ((QStringList{DateText::hourOfDay(0), DateText::hourOfDay(5), DateText::hourOfDay(12),
                               DateText::hourOfDay(17)}),
                  hourTexts)
            << locale.name().toStdString();
    }
    QLocale::setDefault(previous);
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
