#include "core/analytics/StreakCalculator.h"

#include "platform/LocalCalendar.h"

namespace norvane::StreakCalculator {

namespace {

using platform::Date;
using Day = std::chrono::local_days;
namespace LocalCalendar = platform::LocalCalendar;
constexpr std::chrono::days oneDay{1};

struct Run {
    std::int64_t length = 0;
    std::optional<Day> first;
    std::optional<Day> last;
};

/// The run that ends today, or else yesterday; empty when neither day is active.
Run currentRun(const std::set<Day>& days, Day today) {
    const Day last = days.contains(today) ? today : today - oneDay;
    Run run;
    for (Day day = last; days.contains(day); day -= oneDay) {
        run = {run.length + 1, day, last};
    }
    return run;
}

/// The longest run of consecutive calendar days; of runs of equal length the earliest.
Run longestRun(const std::set<Day>& days) {
    Run best;
    Run counting;
    for (const Day day : days) {
        if (counting.length > 0 && day - *counting.last == oneDay) {
            ++counting.length;
            counting.last = day;
            continue;
        }
        if (counting.length > best.length) best = counting;
        counting = {1, day, day};
    }
    return counting.length > best.length ? counting : best;
}

std::optional<Date> startOf(std::optional<Day> day) {
    return day ? std::optional(LocalCalendar::startOfDay(*day)) : std::nullopt;
}

} // namespace

ProductivityStreak calculate(const std::set<Date>& activeDays, Date now) {
    std::set<Day> days;
    for (const Date date : activeDays) days.insert(LocalCalendar::localDay(date));
    const Run current = currentRun(days, LocalCalendar::localDay(now));
    const Run longest = longestRun(days);
    return {
        .currentStreak = current.length,
        .streakStartDate = startOf(current.first),
        .longestStreak = longest.length,
        .longestStreakStartDate = startOf(longest.first),
        .longestStreakEndDate = startOf(longest.last),
        .isActive = current.length > 0,
    };
}

} // namespace norvane::StreakCalculator
