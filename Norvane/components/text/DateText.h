#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QString>

namespace norvane::app {

/// Dates as the charts write them, in the user's locale and local time zone.
class DateText {
public:
    /// A date-axis label: day and abbreviated month in the locale's order, or the month alone.
    static QString axisLabel(platform::Date date, AxisDateFormat format);
    /// The date without the time, in the locale's long date style ("March 7, 2025").
    static QString dateOnly(platform::Date date);
    /// The fixed pattern "M/d": month and day numbers without leading zeros ("3/7").
    static QString monthDay(platform::Date date);
};

} // namespace norvane::app
