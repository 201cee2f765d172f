#pragma once

#include "platform/LocalCalendar.h"

namespace norvane::testing {

/// The moment a wall clock in the current time zone shows the given local time.
inline platform::Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return *platform::LocalCalendar::dateFromComponents({year, month, day, hour, minute, 0, 1});
}

/// A zone and a day on which its clocks go forward: at 02:00 in Berlin, at midnight in the
/// others, whose day then starts at 01:00.
struct ClockChange {
    const char* zone;
    int year;
    int month;
    int day;

    /// Noon `days` days after the change day, in the current time zone.
    platform::Date noon(int days = 0) const {
        return platform::LocalCalendar::addingDays(localDate(year, month, day, 12), days);
    }
};

inline constexpr ClockChange clockChanges[] = {
    {"Europe/Berlin", 2026, 3, 29}, {"America/Santiago", 2026, 9, 6}, {"America/Havana", 2026, 3, 8},
    {"Asia/Beirut", 2026, 3, 29},   {"Africa/Cairo", 2026, 4, 24},
};

} // namespace norvane::testing
