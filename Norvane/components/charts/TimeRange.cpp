#include "Norvane/components/charts/TimeRange.h"

#include "platform/LocalCalendar.h"

namespace norvane::app {

namespace calendar = platform::LocalCalendar;

std::optional<TimeRange> TimeRange::fromRawValue(const QString& rawValue) {
    for (const TimeRange range : allCases()) {
        if (range.rawValue() == rawValue) {
            return range;
        }
    }
    return std::nullopt;
}

QString TimeRange::rawValue() const {
    switch (case_) {
    case thirtyDays: return QStringLiteral("30 Days");
    case ninetyDays: return QStringLiteral("90 Days");
    case oneYear: return QStringLiteral("1 Year");
    case allTime: return QStringLiteral("All Time");
    }
    return {};
}

platform::Date TimeRange::startDate() const { return startDate(platform::currentDate()); }

platform::Date TimeRange::startDate(platform::Date now) const {
    switch (case_) {
    case thirtyDays: return calendar::addingDays(now, -30);
    case ninetyDays: return calendar::addingDays(now, -90);
    case oneYear: return calendar::addingMonths(now, -12);
    case allTime: return platform::distantPast();
    }
    return now;
}

AxisStrideComponent TimeRange::axisStrideComponent() const {
    switch (case_) {
    case thirtyDays: return AxisStrideComponent::day;
    case ninetyDays: return AxisStrideComponent::weekOfYear;
    case oneYear:
    case allTime: return AxisStrideComponent::month;
    }
    return AxisStrideComponent::month;
}

} // namespace norvane::app
