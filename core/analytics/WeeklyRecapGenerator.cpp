#include "core/analytics/WeeklyRecapGenerator.h"

#include "platform/LocalCalendar.h"

#include <unicode/dtfmtsym.h>

#include <set>

namespace norvane::WeeklyRecapGenerator {

namespace {

using platform::Date;
using Day = std::chrono::local_days;
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
Day weekStartFor(Date now) {
    const Day today = LocalCalendar::localDay(now);
    const int daysSinceMonday = static_cast<int>((std::chrono::weekday(today).c_encoding() + 6) % 7);
    const Day monday = today - std::chrono::days(daysSinceMonday);
    return daysSinceMonday == 0 ? monday - std::chrono::days(7) : monday;
}

/// The rows of the local days [from, before).
Rows rowsBetween(const Rows& rows, Day from, Day before) {
    Rows result;
    for (const auto& row : rows) {
        const Day day = LocalCalendar::localDay(row->date);
        if (day >= from && day < before) result.push_back(row);
    }
    return result;
}

std::int64_t activeDayCount(const Rows& rows) {
    std::set<Day> days;
    for (const auto& row : rows) {
        if (row->commitCount >= 1) days.insert(LocalCalendar::localDay(row->date));
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
    const Day weekStart = weekStartFor(now);
    const std::chrono::days week{7};
    const Rows weekRows = rowsBetween(rows, weekStart, weekStart + week);
    if (weekRows.empty()) return std::nullopt;

    WeeklyRecap recap;
    recap.weekStart = LocalCalendar::startOfDay(weekStart);
    recap.currentStreak = currentStreak;
    recap.indexChange = indexChange;
    addWeekTotals(recap, weekRows);
    recap.previousWeekComparison = compareWithPreviousWeek(recap, rowsBetween(rows, weekStart - week, weekStart));
    return recap;
}

} // namespace norvane::WeeklyRecapGenerator
