#include "core/analytics/WorkPatterns.h"

namespace norvane {

namespace {

constexpr std::array<const char*, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> fullDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

bool isWeekday(int weekday) { return weekday >= 1 && weekday <= 7; }

} // namespace

std::string WorkPatterns::formatHour(int hour) {
    if (hour == 0) return "12am";
    if (hour < 12) return std::to_string(hour) + "am";
    if (hour == 12) return "12pm";
    return std::to_string(hour - 12) + "pm";
}

std::string WorkPatterns::formatDay(int weekday) {
    return isWeekday(weekday) ? shortDayNames[static_cast<std::size_t>(weekday - 1)] : "?";
}

std::string WorkPatterns::formatDayFull(int weekday) {
    return isWeekday(weekday) ? fullDayNames[static_cast<std::size_t>(weekday - 1)] : "Unknown";
}

} // namespace norvane
