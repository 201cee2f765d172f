#include "core/analytics/WeeklyRecapGenerator.h"

#include "platform/LocalCalendar.h"

#include <unicode/dtfmtsym.h>

#include <set>

namespace norvane::WeeklyRecapGenerator {

namespace {

using platform::Date;
namespace LocalCalendar = platform::LocalCalendar;
using Rows = std::vector<std::shared_ptr<DailyActivity>>;

/// The full name of the date's weekday in the user's language.
std::string weekdayName(Date date) {
    static constexpr std::array<const char*, 7> english{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                        "Thursday", "Friday", "Saturday"};
    const int weekday = LocalCalendar::components(date).weekday;
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(icu::Locale::getDefault(), status);
    int32_t count = 0;
    const icu::UnicodeString* names = symbols.getWeekdays(count);
    // ICU counts weekdays from 1 = Sunday, as the calendar components do.
    if (U_FAILURE(status) || names == nullptr || weekday >= count || names[weekday].isEmpty()) {
        return english[static_cast<std::size_t>(weekday - 1)];
    }
    std::string name;
    names[weekday].toUTF8String(name);
    return name;
}

/// The Monday that opens the week to recap.
Date weekStartFor(Date now) {
    const Date today = LocalCalendar::startOfDay(now);
    const int daysSinceMonday = (LocalCalendar::components(today).weekday + 5) % 7;
    const Date monday = LocalCalendar::addingDays(today, -daysSinceMonday);
    return daysSinceMonday == 0 ? LocalCalendar::addingDays(monday, -7) : monday;
}

Rows rowsBetween(const Rows& rows, Date from, Date before) {
    Rows result;
    for (const auto& row : rows) {
        if (row->date >= from && row->date < before) result.push_back(row);
    }
    return result;
}

std::int64_t activeDayCount(const Rows& rows) {
    std::set<Date> days;
    for (const auto& row : rows) {
        if (row->commitCount >= 1) days.insert(LocalCalendar::startOfDay(row->date));
    }
    return static_cast<std::int64_t>(days.size());
}

/// Change in percent; from nothing, any growth counts as 100.
double changePercent(std::int64_t current, std::int64_t previous) {
    if (previous < 1) return current > 0 ? 100.0 : 0.0;
    return static_cast<double>(current - previous) / static_cast<double>(previous) * 100.0;
}

void addWeekTotals(WeeklyRecap& recap, const Rows& week) {
    std::set<std::string> projectNames;
    std::shared_ptr<DailyActivity> best;
    for (const auto& row : week) {
        recap.totalLinesChanged += row->linesTouched;
        recap.codeLinesChanged += row->codeLinesChanged();
        recap.docsLinesChanged += row->docsLinesChanged();
        recap.testLinesChanged += row->testLinesChanged();
        recap.configLinesChanged += row->configLinesChanged();
        recap.totalCommits += row->commitCount;
        recap.effortMonths += row->estimatedEffortMonths;
        if (row->project) projectNames.insert(row->project->name);
        if (row->linesTouched > (best ? best->linesTouched : 0)) best = row;
    }
    recap.activeDays = activeDayCount(week);
    recap.projectsWorkedOn.assign(projectNames.begin(), projectNames.end());
    if (best) {
        recap.bestDay = DayHighlight{best->date, weekdayName(best->date), best->linesTouched, best->commitCount};
    }
}

std::optional<WeekComparison> compareWithPreviousWeek(const WeeklyRecap& recap, const Rows& previousWeek) {
    if (previousWeek.empty()) return std::nullopt;
    std::int64_t previousLines = 0;
    std::int64_t previousCommits = 0;
    for (const auto& row : previousWeek) {
        previousLines += row->linesTouched;
        previousCommits += row->commitCount;
    }
    return WeekComparison{
        .linesChangePercent = changePercent(recap.totalLinesChanged, previousLines),
        .commitsChangePercent = changePercent(recap.totalCommits, previousCommits),
        .activeDaysChange = recap.activeDays - activeDayCount(previousWeek),
    };
}

} // namespace

std::optional<WeeklyRecap> generate(const Rows& rows, std::int64_t currentStreak,
                                    std::optional<std::int64_t> indexChange, Date now) {
    if (rows.empty()) return std::nullopt;
    const Date weekStart = weekStartFor(now);
    const Rows week = rowsBetween(rows, weekStart, LocalCalendar::addingDays(weekStart, 7));
    if (week.empty()) return std::nullopt;

    WeeklyRecap recap;
    recap.weekStart = weekStart;
    recap.currentStreak = currentStreak;
    recap.indexChange = indexChange;
    addWeekTotals(recap, week);
    recap.previousWeekComparison =
        compareWithPreviousWeek(recap, rowsBetween(rows, LocalCalendar::addingDays(weekStart, -7), weekStart));
    return recap;
}

} // namespace norvane::WeeklyRecapGenerator
