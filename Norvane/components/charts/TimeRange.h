#pragma once

#include "platform/Date.h"

#include <QString>

#include <array>
#include <optional>

namespace norvane::app {

/// The calendar unit by which a chart's date axis steps, or that one column of a chart spans.
enum class AxisStrideComponent { day, weekOfYear, month, year };

/// The window of time that the dashboard's charts show.
class TimeRange {
public:
    enum Case { thirtyDays, ninetyDays, oneYear, allTime };

    /// Axis marks stand every this many stride units.
    static constexpr int axisStrideCount = 5;

    constexpr TimeRange(Case value) : case_(value) {}

    /// The case whose raw value is exactly `rawValue`; none for any other text.
    static std::optional<TimeRange> fromRawValue(const QString& rawValue);
    static constexpr std::array<TimeRange, 4> allCases() { return {thirtyDays, ninetyDays, oneYear, allTime}; }

    constexpr Case value() const { return case_; }
    /// "30 Days", "90 Days", "1 Year" or "All Time": the display text and the identity.
    QString rawValue() const;
    QString id() const { return rawValue(); }

    /// The earliest date that belongs to the range, from the current time, read afresh each call.
    platform::Date startDate() const;
    /// The same from a given "now".
    platform::Date startDate(platform::Date now) const;

    AxisStrideComponent axisStrideComponent() const;

    friend constexpr bool operator==(TimeRange left, TimeRange right) { return left.case_ == right.case_; }

private:
    Case case_;
};

} // namespace norvane::app
