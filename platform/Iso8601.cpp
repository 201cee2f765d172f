#include "platform/Iso8601.h"

#include "platform/LocalCalendar.h"

#include <cstdio>

namespace norvane::platform::Iso8601 {

namespace {

using namespace std::chrono;

/// Reads a text from left to right; every step fails on anything unexpected.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return position_ == text_.size(); }

    std::optional<int> digits(std::size_t count) {
        if (text_.size() - position_ < count) {
            return std::nullopt;
        }
        int value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char character = text_[position_ + i];
            if (character < '0' || character > '9') {
                return std::nullopt;
            }
            value = value * 10 + (character - '0');
        }
        position_ += count;
        return value;
    }

    bool skip(char expected) {
        if (atEnd() || text_[position_] != expected) {
            return false;
        }
        ++position_;
        return true;
    }

    std::optional<int> number(char separator, std::size_t count, int highest) {
        if (!skip(separator)) {
            return std::nullopt;
        }
        const auto value = digits(count);
        return value && *value <= highest ? value : std::nullopt;
    }

    /// An optional "." and one or more digits; digits below a microsecond are dropped.
    std::optional<microseconds> fraction() {
        if (!skip('.')) {
            return microseconds(0);
        }
        std::int64_t micros = 0;
        int count = 0;
        for (; !atEnd() && text_[position_] >= '0' && text_[position_] <= '9'; ++position_, ++count) {
            if (count < 6) {
                micros = micros * 10 + (text_[position_] - '0');
            }
        }
        for (int i = count; i < 6; ++i) {
            micros *= 10;
        }
        return count > 0 ? std::optional(microseconds(micros)) : std::nullopt;
    }

    /// "Z", or "+HH:MM" / "-HH:MM": the offset from UTC.
    std::optional<minutes> zone() {
        if (skip('Z')) {
            return minutes(0);
        }
        const bool ahead = skip('+');
        if (!ahead && !skip('-')) {
            return std::nullopt;
        }
        const auto hour = digits(2);
        const auto minute = number(':', 2, 59);
        if (!hour || *hour > 23 || !minute) {
            return std::nullopt;
        }
        const minutes offset = hours(*hour) + minutes(*minute);
        return ahead ? offset : -offset;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

std::optional<sys_days> readDay(Reader& reader) {
    const auto year = reader.digits(4);
    const auto monthNumber = reader.number('-', 2, 12);
    const auto dayNumber = reader.number('-', 2, 31);
    if (!year || !monthNumber || !dayNumber) {
        return std::nullopt;
    }
    const year_month_day day{std::chrono::year(*year), month(static_cast<unsigned>(*monthNumber)),
                             std::chrono::day(static_cast<unsigned>(*dayNumber))};
    return day.ok() ? std::optional(sys_days(day)) : std::nullopt;
}

std::optional<seconds> readTime(Reader& reader) {
    const auto hour = reader.number('T', 2, 23);
    const auto minute = reader.number(':', 2, 59);
    const auto second = reader.number(':', 2, 59);
    if (!hour || !minute || !second) {
        return std::nullopt;
    }
    return hours(*hour) + minutes(*minute) + seconds(*second);
}

} // namespace

std::string format(Date date) {
    const auto whole = floor<seconds>(date);
    const auto day = floor<days>(whole);
    const year_month_day calendarDay(day);
    const hh_mm_ss time(whole - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(calendarDay.year()),
                  static_cast<unsigned>(calendarDay.month()), static_cast<unsigned>(calendarDay.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

std::optional<Date> parse(std::string_view text) {
    Reader reader(text);
    const auto day = readDay(reader);
    const auto time = day ? readTime(reader) : std::nullopt;
    const auto fraction = time ? reader.fraction() : std::nullopt;
    const auto offset = fraction ? reader.zone() : std::nullopt;
    if (!offset || !reader.atEnd()) {
        return std::nullopt;
    }
    return Date(*day + *time - *offset) + *fraction;
}

std::string formatLocalDay(Date date) {
    const LocalDateComponents fields = LocalCalendar::components(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", fields.year, fields.month, fields.day);
    return text;
}

std::string formatLocalMoment(Date date) {
    const LocalDateComponents fields = LocalCalendar::components(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields.year, fields.month, fields.day,
                  fields.hour, fields.minute, fields.second);
    return text;
}

} // namespace norvane::platform::Iso8601
