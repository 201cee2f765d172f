#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QString>

namespace norvane::app {

/// Dates as the views write them, in local time: the charts' labels and the hours of the day in the
/// user's locale, the cards' fixed patterns in English.
class DateText {
public:
    /// Whether the labels of a date axis name their year: unless the dates it shows, from `first`
    /// to `last`, the window of `range` and today all fall in one calendar year, so that no label
    /// leaves its year to be guessed. All Time's window is what the axis shows.
    static bool axisNamesYear(TimeRange range, platform::Date first, platform::Date last, platform::Date now);
    /// The label of a date-axis mark, or of a column, that stands for a `unit`, in the locale's
    /// order: day and abbreviated month for a day or a week ("Mar 7"), the abbreviated month for a
    /// month ("Mar"), the year for a year; with the year where the axis names it ("Mar 7, 2025",
    /// "Mar 2025").
    static QString axisLabel(platform::Date date, AxisStrideComponent unit, bool withYear);
    /// The date without the time, in the locale's long date style ("March 7, 2025").
    static QString dateOnly(platform::Date date);
    /// The `unit` that begins at `start`, in the locale's long style: the day ("March 7, 2025"),
    /// "Week of " and its first day, the month ("March 2025") or the year.
    static QString periodText(platform::Date start, AxisStrideComponent unit);
    /// The fixed pattern "MMM d" in English ("Mar 7").
    static QString abbreviatedMonthDay(platform::Date date);
    /// The medium date style without the time, in English ("Mar 7, 2025").
    static QString mediumDate(platform::Date date);
    /// "MMM d - MMM d", then ", yyyy" of the end when the end falls in another year than `now`
    /// (the start's year is never compared).
    static QString dateRange(platform::Date start, platform::Date end, platform::Date now);
    /// A whole hour as "h:mm a" in the user's locale, the marker in its words: "2:00 AM", "12:00 PM"
    /// in English, "2:00 a.\u00a0m." in Spanish, "2:00 오전" in Korean.
    static QString hourOfDay(int hour);
    /// The time between `date` and `now` in its two largest units: "45 seconds", "5 minutes,
    /// 12 seconds", "2 hours", "3 days, 4 hours"; a `date` after `now` is no time at all.
    static QString elapsedText(platform::Date date, platform::Date now);
};

} // namespace norvane::app
