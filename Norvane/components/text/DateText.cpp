#include "Norvane/components/text/DateText.h"

#include "platform/LocalCalendar.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <QTime>

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace norvane::app {

namespace {

enum class Style { dayMonth, month, monthYear, longDate };

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
        const icu::UnicodeString skeleton = style == Style::dayMonth    ? u"dMMM"
                                            : style == Style::monthYear ? u"yMMM"
                                                                        : u"MMM";
        const icu::UnicodeString pattern = generator->getBestPattern(skeleton, status);
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

QString DateText::axisLabel(platform::Date date, AxisDateFormat format) {
    switch (format) {
    case AxisDateFormat::dayAndAbbreviatedMonth: return norvane::app::format(date, Style::dayMonth);
    case AxisDateFormat::abbreviatedMonth: return norvane::app::format(date, Style::month);
    case AxisDateFormat::abbreviatedMonthAndYear: return norvane::app::format(date, Style::monthYear);
    }
    return {};
}

QString DateText::dateOnly(platform::Date date) { return format(date, Style::longDate); }

QString DateText::monthDay(platform::Date date) {
    const platform::LocalDateComponents fields = platform::LocalCalendar::components(date);
    return QStringLiteral("%1/%2").arg(fields.month).arg(fields.day);
}

QString DateText::monthDayYear(platform::Date date) {
    return monthDay(date) + QStringLiteral("/") + fourDigitYear(platform::LocalCalendar::components(date).year);
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

QString DateText::hourOfDay(int hour) { return QTime(hour, 0).toString(QStringLiteral("h:mm AP")); }

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
