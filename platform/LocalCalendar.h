#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>

namespace norvane::platform {

/// Calendar fields of a moment in the local time zone (TZ).
struct LocalDateComponents {
    int year = 1970;
    int month = 1; ///< 1-12
    int day = 1;   ///< 1-31
    int hour = 0;  ///< 0-23
    int minute = 0;
    int second = 0;
    int weekday = 1; ///< 1 = Sunday ... 7 = Saturday

    bool operator==(const LocalDateComponents&) const = default;
};

/// Day arithmetic in the user's current calendar and time zone. Days are calendar days, so a day
/// across a daylight-saving change is 23 or 25 hours long.
namespace LocalCalendar {

/// Midnight at the start of the local day that contains `date`.
Date startOfDay(Date date);

/// The local calendar date that contains `date`. Count days with these: a day that starts after a
/// clock change at midnight begins at 01:00, so stepping a day's start by whole days drifts.
std::chrono::local_days localDay(Date date);

/// The first moment of a local calendar date: its midnight, or the end of a gap that swallows it.
Date startOfDay(std::chrono::local_days day);

/// The same local wall-clock time `days` calendar days later (earlier when negative).
Date addingDays(Date date, int days);

/// The same local wall-clock time `months` calendar months later, clamped to the month's end.
Date addingMonths(Date date, int months);

/// Complete local days from `from` to `to`: a part day is dropped toward zero, negative when
/// `to` lies before `from`.
int wholeDaysBetween(Date from, Date to);

/// Calendar fields of `date` in the local time zone.
LocalDateComponents components(Date date);

/// The moment of the given local calendar fields (weekday is ignored); none when they do not
/// name a valid moment.
std::optional<Date> dateFromComponents(const LocalDateComponents& components);

/// True when both moments fall on the same local day.
bool isSameDay(Date first, Date second);

/// The local time zone known by its rules, whatever names it: a fingerprint of its offsets from
/// UTC and the moments they change from 1970 to 2100, as the calendar now reads them. Equal texts
/// keep the same days; a zone file replaced under the same name gives another text once read.
std::string timeZoneRules();

} // namespace LocalCalendar
} // namespace norvane::platform
