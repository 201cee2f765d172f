#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QString>

namespace norvane::app {

/// Dates as the views write them, in local time: the charts' labels in the user's locale, the
/// cards' fixed patterns in English.
class DateText {
public:
    /// A date-axis label: day and abbreviated month in the locale's order, the month alone, or the
    /// month with the year.
    static QString axisLabel(platform::Date date, AxisDateFormat format);
    /// The date without the time, in the locale's long date style ("March 7, 2025").
    static QString dateOnly(platform::Date date);
    /// The fixed pattern "M/d": month and day numbers without leading zeros ("3/7").
    static QString monthDay(platform::Date date);
    /// The fixed pattern "M/d/yyyy" ("3/7/2025").
    static QString monthDayYear(platform::Date date);
    /// The fixed pattern "MMM d" in English ("Mar 7").
    static QString abbreviatedMonthDay(platform::Date date);
    /// The medium date style without the time, in English ("Mar 7, 2025").
    static QString mediumDate(platform::Date date);
    /// "MMM d - MMM d", then ", yyyy" of the end when the end falls in another year than `now`
    /// (the start's year is never compared).
    static QString dateRange(platform::Date start, platform::Date end, platform::Date now);
    /// A whole hour as "h:mm AP" in English: "2:00 AM", "12:00 PM".
    static QString hourOfDay(int hour);
    /// The time between `date` and `now` in its two largest units: "45 seconds", "5 minutes,
    /// 12 seconds", "2 hours", "3 days, 4 hours"; a `date` after `now` is no time at all.
    static QString elapsedText(platform::Date date, platform::Date now);
};

} // namespace norvane::app
