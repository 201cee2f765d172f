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

TEST(StreakCalculator, CurrentAndLongestRuns) {
    const testing::ScopedTimeZone zone("Europe/Berlin");
    const Date now = localDate(2026, 3, 20, 15);
    const auto day = [](int daysAgo) { return LocalCalendar::addingDays(localDate(2026, 3, 20), -daysAgo); };
    struct Case {
        std::vector<int> activeDaysAgo;
        std::int64_t current;
        std::optional<int> currentStart;
        std::int64_t longest;
        std::optional<int> longestStart;
        std::optional<int> longestEnd;
    };
    const Case cases[] = {
        {{}, 0, {}, 0, {}, {}},
        {{1}, 1, 1, 1, 1, 1},                                   // a run ending yesterday is still current
        {{2}, 0, {}, 1, 2, 2},                                  // one ending the day before is over
        {{0, 1, 2, 4}, 3, 2, 3, 2, 0},                          // a gap ends the current run
        {{-1, 0}, 1, 0, 2, 0, -1},                              // tomorrow counts for the longest run only
        {{20, 19, 18, 10, 9, 8}, 0, {}, 3, 20, 18},             // of equal runs the earlier is the longest
        {{30, 29, 28, 20, 19, 18, 10, 9, 8}, 0, {}, 3, 30, 28}, // and of three the earliest
        {{30, 29, 28, 27, 2, 1, 0}, 3, 2, 4, 30, 27},           // the longest need not be current
    };
    const auto dateOf = [&day](std::optional<int> daysAgo) {
        return daysAgo ? std::optional(day(*daysAgo)) : std::nullopt;
    };
    for (const auto& c : cases) {
        std::set<Date> days;
        for (const int daysAgo : c.activeDaysAgo) days.insert(day(daysAgo));
        const auto streak = StreakCalculator::calculate(days, now);
        EXPECT_EQ(std::tuple(streak.currentStreak, streak.isActive, streak.streakStartDate, streak.longestStreak,
                             streak.longestStreakStartDate, streak.longestStreakEndDate),
                  std::tuple(c.current, c.current > 0, dateOf(c.currentStart), c.longest, dateOf(c.longestStart),
                             dateOf(c.longestEnd)))
            << c.activeDaysAgo.size();
    }
}

TEST(StreakCalculator, RunsAcrossClockChangesStayUnbroken) {
    for (const auto& change : testing::clockChanges) {
        const testing::ScopedTimeZone zone(change.zone);
        // 30 active days ending 14 days after the change day.
        std::set<Date> days;
        for (int day = -15; day <= 14; ++day) days.insert(LocalCalendar::startOfDay(change.noon(day)));
        const auto streak = StreakCalculator::calculate(days, change.noon(14));
        EXPECT_EQ(
            std::tuple(streak.currentStreak, streak.longestStreak, streak.streakStartDate, streak.longestStreakEndDate),
            std::tuple(30, 30, LocalCalendar::startOfDay(change.noon(-15)), LocalCalendar::startOfDay(change.noon(14))))
            << change.zone;
    }
}

TEST(StreakMilestone, LookupsAroundEachThreshold) {
    struct Case {
        std::int64_t days;
        std::optional<StreakMilestone> current;
        std::optional<StreakMilestone> next;
        std::optional<std::int64_t> daysToGo;
    };
    const Case cases[] = {
        {6, std::nullopt, StreakMilestone::week, 1},
        {7, StreakMilestone::week, StreakMilestone::twoWeeks, 7},
        {364, StreakMilestone::halfYear, StreakMilestone::year, 1},
        {365, StreakMilestone::year, std::nullopt, std::nullopt},
    };
    for (const auto& [days, current, next, daysToGo] : cases) {
        const ProductivityStreak streak{.currentStreak = days, .isActive = days > 0};
        EXPECT_EQ(streak.currentMilestone(), current) << days;
        EXPECT_EQ(streak.nextMilestone(), next) << days;
        EXPECT_EQ(streak.daysToNextMilestone(), daysToGo) << days;
    }
    EXPECT_EQ(streakMilestoneFromRawValue(21), std::nullopt);
}

} // namespace
} // namespace norvane
