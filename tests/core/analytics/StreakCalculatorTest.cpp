#include "core/analytics/StreakCalculator.h"
#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using platform::Date;
using testing::localDate;
namespace LocalCalendar = platform::LocalCalendar;

class StreakCalculatorTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    const Date now = localDate(2026, 3, 20, 15);
    const Date today = localDate(2026, 3, 20);

    Date daysAgo(int days) const { return LocalCalendar::addingDays(today, -days); }
};

TEST_F(StreakCalculatorTest, EmptySetHasNoStreak) {
    const auto streak = StreakCalculator::calculate({}, now);
    EXPECT_EQ(streak.currentStreak, 0);
    EXPECT_EQ(streak.longestStreak, 0);
    EXPECT_FALSE(streak.streakStartDate || streak.longestStreakStartDate || streak.longestStreakEndDate);
    EXPECT_FALSE(streak.isActive);
    EXPECT_EQ(streak.currentMilestone(), std::nullopt);
    EXPECT_EQ(streak.nextMilestone(), StreakMilestone::week);
    EXPECT_EQ(streak.daysToNextMilestone(), 7);
}

TEST_F(StreakCalculatorTest, RunEndingYesterdayIsStillCurrent) {
    const auto streak = StreakCalculator::calculate({daysAgo(1)}, now);
    EXPECT_EQ(streak.currentStreak, 1);
    EXPECT_EQ(streak.streakStartDate, daysAgo(1));
    EXPECT_TRUE(streak.isActive);
    EXPECT_EQ(streak.longestStreak, 1);
    EXPECT_EQ(streak.longestStreakStartDate, daysAgo(1));
    EXPECT_EQ(streak.longestStreakEndDate, daysAgo(1));
}

TEST_F(StreakCalculatorTest, RunEndingTheDayBeforeYesterdayIsOver) {
    const auto streak = StreakCalculator::calculate({daysAgo(2)}, now);
    EXPECT_EQ(streak.currentStreak, 0);
    EXPECT_FALSE(streak.isActive);
    EXPECT_FALSE(streak.streakStartDate);
    EXPECT_EQ(streak.longestStreak, 1);
}

TEST_F(StreakCalculatorTest, GapEndsTheCurrentRun) {
    const auto streak = StreakCalculator::calculate({today, daysAgo(1), daysAgo(2), daysAgo(4)}, now);
    EXPECT_EQ(streak.currentStreak, 3);
    EXPECT_EQ(streak.streakStartDate, daysAgo(2));
    EXPECT_EQ(streak.longestStreak, 3);
    EXPECT_EQ(streak.longestStreakEndDate, today);
}

TEST_F(StreakCalculatorTest, EqualRunsKeepTheEarlierAsLongest) {
    std::set<Date> days;
    for (int day = 1; day <= 5; ++day) days.insert(localDate(2026, 3, day));
    for (int day = 10; day <= 14; ++day) days.insert(localDate(2026, 3, day));
    const auto streak = StreakCalculator::calculate(days, now);
    EXPECT_EQ(streak.currentStreak, 0);
    EXPECT_EQ(streak.longestStreak, 5);
    EXPECT_EQ(streak.longestStreakStartDate, localDate(2026, 3, 1));
    EXPECT_EQ(streak.longestStreakEndDate, localDate(2026, 3, 5));
}

TEST_F(StreakCalculatorTest, DaysAfterTodayCountOnlyForTheLongestRun) {
    const Date tomorrow = LocalCalendar::addingDays(today, 1);
    const auto streak = StreakCalculator::calculate({today, tomorrow}, now);
    EXPECT_EQ(streak.currentStreak, 1);
    EXPECT_EQ(streak.longestStreak, 2);
    EXPECT_EQ(streak.longestStreakEndDate, tomorrow);
}

TEST_F(StreakCalculatorTest, RunsAcrossDaylightSavingAndYearEndStayUnbroken) {
    // Clocks in Berlin go forward on 29 March 2026: that day is 23 hours long.
    std::set<Date> spring;
    for (int day = 27; day <= 31; ++day) spring.insert(localDate(2026, 3, day));
    const auto springStreak = StreakCalculator::calculate(spring, localDate(2026, 3, 31, 9));
    EXPECT_EQ(springStreak.currentStreak, 5);
    EXPECT_EQ(springStreak.streakStartDate, localDate(2026, 3, 27));
    EXPECT_EQ(springStreak.longestStreak, 5);

    // And back on 25 October 2026: 25 hours.
    std::set<Date> autumn;
    for (int day = 24; day <= 27; ++day) autumn.insert(localDate(2026, 10, day));
    EXPECT_EQ(StreakCalculator::calculate(autumn, localDate(2026, 10, 27, 23)).currentStreak, 4);

    const std::set<Date> yearEnd{localDate(2025, 12, 30), localDate(2025, 12, 31), localDate(2026, 1, 1),
                                 localDate(2026, 1, 2)};
    const auto streak = StreakCalculator::calculate(yearEnd, localDate(2026, 1, 2, 8));
    EXPECT_EQ(streak.currentStreak, 4);
    EXPECT_EQ(streak.longestStreakStartDate, localDate(2025, 12, 30));
    EXPECT_EQ(streak.longestStreakEndDate, localDate(2026, 1, 2));
}

TEST(StreakMilestone, LookupsAroundEachThreshold) {
    struct Case {
        std::int64_t days;
        std::optional<StreakMilestone> current;
        std::optional<StreakMilestone> next;
        std::optional<std::int64_t> daysToGo;
    };
    const Case cases[] = {
        {0, std::nullopt, StreakMilestone::week, 7},
        {6, std::nullopt, StreakMilestone::week, 1},
        {7, StreakMilestone::week, StreakMilestone::twoWeeks, 7},
        {13, StreakMilestone::week, StreakMilestone::twoWeeks, 1},
        {14, StreakMilestone::twoWeeks, StreakMilestone::month, 16},
        {179, StreakMilestone::quarter, StreakMilestone::halfYear, 1},
        {364, StreakMilestone::halfYear, StreakMilestone::year, 1},
        {365, StreakMilestone::year, std::nullopt, std::nullopt},
        {400, StreakMilestone::year, std::nullopt, std::nullopt},
    };
    for (const auto& [days, current, next, daysToGo] : cases) {
        const ProductivityStreak streak{.currentStreak = days, .isActive = days > 0};
        EXPECT_EQ(streak.currentMilestone(), current) << days;
        EXPECT_EQ(streak.nextMilestone(), next) << days;
        EXPECT_EQ(streak.daysToNextMilestone(), daysToGo) << days;
        EXPECT_EQ(streakMilestoneFor(days), current) << days;
        EXPECT_EQ(nextStreakMilestoneAfter(days), next) << days;
    }
}

TEST(StreakMilestone, ReadsOnlyItsOwnDayCounts) {
    EXPECT_EQ(streakMilestoneFromRawValue(21), std::nullopt);
    EXPECT_EQ(streakMilestoneFromRawValue(90), StreakMilestone::quarter);
    EXPECT_EQ(celebrationMessage(StreakMilestone::year), "Legendary year-long streak!");
}

} // namespace
} // namespace norvane
