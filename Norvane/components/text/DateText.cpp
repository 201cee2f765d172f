#include "Norvane/components/text/DateText.h"

#include "platform/LocalCalendar.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <array>
#include <map>
#include <memory>
#include <string>

namespace norvane::app {

namespace {

enum class Style { dayMonth, month, longDate };

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
        const icu::UnicodeString skeleton = style == Style::dayMonth ? u"dMMM" : u"MMM";
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
    return norvane::app::format(date,
                                format == AxisDateFormat::dayAndAbbreviatedMonth ? Style::dayMonth : Style::month);
}

QString DateText::dateOnly(platform::Date date) { return format(date, Style::longDate); }

QString DateText::monthDay(platform::Date date) {
    const platform::LocalDateComponents fields = platform::LocalCalendar::components(date);
    return QStringLiteral("%1/%2").arg(fields.month).arg(fields.day);
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

} // namespace norvane::app
