#include "core/analytics/StreakCalculator.h"

#include "platform/LocalCalendar.h"

namespace norvane::StreakCalculator {

namespace {

using platform::Date;
namespace LocalCalendar = platform::LocalCalendar;

struct Run {
    std::int64_t length = 0;
    std::optional<Date> start;
    std::optional<Date> end;
};

/// The run that ends today, or else yesterday; empty when neither day is active.
Run currentRun(const std::set<Date>& activeDays, Date today) {
    const Date yesterday = LocalCalendar::addingDays(today, -1);
    Date first;
    if (activeDays.contains(today)) {
        first = today;
    } else if (activeDays.contains(yesterday)) {
        first = yesterday;
    } else {
        return {};
    }
    Run run{1, first, first};
    for (Date day = LocalCalendar::addingDays(first, -1); activeDays.contains(day);
         day = LocalCalendar::addingDays(day, -1)) {
        run.start = day;
        ++run.length;
    }
    return run;
}

/// The longest run of calendar-consecutive days; of runs of equal length the earliest.
Run longestRun(const std::set<Date>& activeDays) {
    Run best;
    Run counting;
    const auto close = [&best](const Run& run) {
        if (run.length > best.length) best = run;
    };
    for (const Date day : activeDays) {
        if (counting.length > 0 && LocalCalendar::wholeDaysBetween(*counting.end, day) == 1) {
            ++counting.length;
            counting.end = day;
            continue;
        }
        if (counting.length > 0) close(counting);
        counting = {1, day, day};
    }
    close(counting);
    return best;
}

} // namespace

ProductivityStreak calculate(const std::set<Date>& activeDays, Date now) {
    if (activeDays.empty()) return {};
    const Date today = LocalCalendar::startOfDay(now);
    const Run current = currentRun(activeDays, today);
    Run longest = longestRun(activeDays);
    // Only dates that are not starts of days can make the current run the longer one.
    if (current.length > longest.length) {
        longest = {current.length, current.start, today};
    }
    return {
        .currentStreak = current.length,
        .streakStartDate = current.start,
        .longestStreak = longest.length,
        .longestStreakStartDate = longest.start,
        .longestStreakEndDate = longest.end,
        .isActive = current.length > 0,
    };
}

} // namespace norvane::StreakCalculator
