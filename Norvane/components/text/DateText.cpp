#include "Norvane/components/text/DateText.h"

#include "platform/LocalCalendar.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace norvane::app {

namespace {

enum class Style { dayMonth, dayMonthYear, month, monthYear, fullMonthYear, year, longDate };

/// The formatter's skeleton of each style but the long date.
const char16_t* skeletonOf(Style style) {
    switch (style) {
    case Style::dayMonth: return u"dMMM";
    case Style::dayMonthYear: return u"yMMMd";
    case Style::month: return u"MMM";
    case Style::monthYear: return u"yMMM";
    case Style::fullMonthYear: return u"yMMMM";
    case Style::year: return u"y";
    case Style::longDate: break;
    }
    return u"yMMMd";
}

std::unique_ptr<icu::DateFormat> makeFormatter(Style style, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateFormat> formatter;
    if (style == Style::longDate) {
        formatter.reset(icu::DateFormat::createDateInstance(icu::DateFormat::kLong, locale));
    } else {
        std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(locale, status));
        if (U_FAILURE(status)) {
            return nullptr;
        }
        const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(skeletonOf(style)), status);
        formatter = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    }
    if (formatter == nullptr || U_FAILURE(status)) {
        return nullptr;
    }
    // The wall-clock fields come from the local calendar and are written as if in UTC, so the
    // text always agrees with the calendar that grouped the data.
    formatter->adoptTimeZone(icu::TimeZone::createTimeZone(u"UTC"));
    return formatter;
}

icu::DateFormat* formatter(Style style) {
    thread_local std::string localeName;
    thread_local std::map<Style, std::unique_ptr<icu::DateFormat>> cache;
    const icu::Locale& locale = icu::Locale::getDefault();
    if (localeName != locale.getName()) {
        localeName = locale.getName();
        cache.clear();
    }
    auto& entry = cache[style];
    if (entry == nullptr) {
        entry = makeFormatter(style, locale);
    }
    return entry.get();
}

QString format(platform::Date date, Style style) {
    const platform::LocalDateComponents fields = platform::LocalCalendar::components(date);
    icu::DateFormat* dateFormat = formatter(style);
    if (dateFormat == nullptr) {
        return QStringLiteral("%1-%2-%3").arg(fields.year).arg(fields.month).arg(fields.day);
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> wallClock(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone(u"UTC"), status));
    wallClock->clear();
    wallClock->set(fields.year, fields.month - 1, fields.day, fields.hour, fields.minute, fields.second);
    const UDate instant = wallClock->getTime(status);
    icu::UnicodeString text;
    dateFormat->format(instant, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString englishMonth(int month) {
    static const std::array<QString, 12> names{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return names.at(static_cast<std::size_t>(month - 1));
}

QString fourDigitYear(int year) { return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')); }

} // namespace

bool DateText::axisNamesYear(TimeRange range, platform::Date first, platform::Date last, platform::Date now) {
    const platform::Date from = range == TimeRange::allTime ? first : std::min(first, range.startDate(now));
    const platform::Date to = std::max(last, now);
    return platform::LocalCalendar::components(from).year != platform::LocalCalendar::components(to).year;
}

QString DateText::axisLabel(platform::Date date, AxisStrideComponent unit, bool withYear) {
    switch (unit) {
    case AxisStrideComponent::day:
    case AxisStrideComponent::weekOfYear: return format(date, withYear ? Style::dayMonthYear : Style::dayMonth);
    case AxisStrideComponent::month: return format(date, withYear ? Style::monthYear : Style::month);
    case AxisStrideComponent::year: return format(date, Style::year);
    }
    return {};
}

QString DateText::dateOnly(platform::Date date) { return format(date, Style::longDate); }

QString DateText::periodText(platform::Date start, AxisStrideComponent unit) {
    switch (unit) {
    case AxisStrideComponent::day: return dateOnly(start);
    case AxisStrideComponent::weekOfYear: return QStringLiteral("Week of ") + dateOnly(start);
    case AxisStrideComponent::month: return format(start, Style::fullMonthYear);
    case AxisStrideComponent::year: return format(start, Style::year);
    }
    return {};
}

QString DateText::abbreviatedMonthDay(platform::Date date) {
    const platform::LocalDateComponents fields = platform::LocalCalendar::components(date);
    return englishMonth(fields.month) + QStringLiteral(" ") + QString::number(fields.day);
}

QString DateText::mediumDate(platform::Date date) {
    return abbreviatedMonthDay(date) + QStringLiteral(", ") +
           fourDigitYear(platform::LocalCalendar::components(date).year);
}

QString DateText::dateRange(platform::Date start, platform::Date end, platform::Date now) {
    const QString range = abbreviatedMonthDay(start) + QStringLiteral(" - ") + abbreviatedMonthDay(end);
    const int endYear = platform::LocalCalendar::components(end).year;
    if (endYear == platform::LocalCalendar::components(now).year) {
        return range;
    }
    return range + QStringLiteral(", ") + fourDigitYear(endYear);
}

QString DateText::hourOfDay(int hour) {
    // "Ap" writes the locale's marker as it is; QTime's own toString writes the C locale's whatever
    // the user's.
    return QLocale().toString(QTime(hour, 0), QStringLiteral("h:mm Ap"));
}

QString DateText::elapsedText(platform::Date date, platform::Date now) {
    const auto seconds =
        std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::seconds>(now - date).count());
    const auto unitText = [](std::int64_t count, const char* unit) {
        return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(unit)).arg(count == 1 ? "" : "s");
    };
    struct Unit {
        std::int64_t seconds;
        const char* name;
    };
    static constexpr Unit units[] = {{86400, "day"}, {3600, "hour"}, {60, "minute"}, {1, "second"}};
    // The largest unit that is reached, and the next one when it is not zero: "2 hours, 5 minutes".
    for (std::size_t index = 0; index + 1 < std::size(units); ++index) {
        const auto [size, name] = units[index];
        if (seconds < size) continue;
        const auto [nextSize, nextName] = units[index + 1];
        const std::int64_t rest = seconds % size / nextSize;
        QString text = unitText(seconds / size, name);
        return rest == 0 ? text : text + QStringLiteral(", ") + unitText(rest, nextName);
    }
    return unitText(seconds, "second");
}

} // namespace norvane::app
