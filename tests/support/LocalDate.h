#pragma once

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <string_view>

namespace norvane::testing {

/// The moment a wall clock in the current time zone shows the given local time.
inline platform::Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return *platform::LocalCalendar::dateFromComponents({year, month, day, hour, minute, 0, 1});
}

/// The moment a strict ISO 8601 text names, such as "2025-03-14T08:30:00Z".
inline platform::Date utc(std::string_view text) { return platform::Iso8601::parse(text).value(); }

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
