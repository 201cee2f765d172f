#pragma once

#include "platform/LocalCalendar.h"

namespace norvane::testing {

/// The moment a wall clock in the current time zone shows the given local time.
inline platform::Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return *platform::LocalCalendar::dateFromComponents({year, month, day, hour, minute, 0, 1});
}

} // namespace norvane::testing
