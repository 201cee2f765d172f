#include "platform/LocalCalendar.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>

namespace norvane::platform::LocalCalendar {

namespace {

using std::chrono::days;
using std::chrono::local_days;
using std::chrono::local_seconds;
using std::chrono::seconds;
using std::chrono::sys_seconds;

// Zones change their offset at most a few times a year, so two days on either side of a
// wall-clock time see the offsets before and after any change near it.
constexpr seconds transitionReach = days(2);

/// The rules of the zone last read, once asked for; forgotten whenever the zone is read again.
std::optional<std::string>& knownRules() {
    static std::optional<std::string> rules;
    return rules;
}

std::mutex& zoneMutex() {
    static std::mutex mutex;
    return mutex;
}

/// Re-reads the time zone when TZ has changed since the last look. tzset() itself stats
/// /etc/localtime on every call, which would dominate day arithmetic over long series.
void refreshTimeZone() {
    static std::optional<std::string> seen;
    static bool loaded = false;
    const char* variable = std::getenv("TZ");
    const std::optional<std::string> current = variable ? std::optional<std::string>(variable) : std::nullopt;
    std::lock_guard lock(zoneMutex());
    if (!loaded || current != seen) {
        tzset();
        seen = current;
        loaded = true;
        knownRules().reset();
    }
}

/// The offset from UTC at `instant` of the zone the C library last read.
seconds loadedOffsetAt(sys_seconds instant) {
    const std::time_t time = instant.time_since_epoch().count();
    std::tm fields{};
    if (localtime_r(&time, &fields) == nullptr) {
        return seconds(0);
    }
    return seconds(fields.tm_gmtoff);
}

/// The zone's offset from UTC at `instant`. A changed TZ takes effect at once.
seconds offsetAt(sys_seconds instant) {
    refreshTimeZone();
    return loadedOffsetAt(instant);
}

local_seconds toLocal(sys_seconds instant) { return local_seconds((instant + offsetAt(instant)).time_since_epoch()); }

/// The moment that shows `wall` on local clocks. When the clocks show it twice (the autumn
/// change), the earlier moment; when never (the spring gap), the time moves forward by the gap.
sys_seconds fromLocal(local_seconds wall) {
    refreshTimeZone();
    const sys_seconds asUtc(wall.time_since_epoch());
    const seconds before = loadedOffsetAt(asUtc - transitionReach);
    const seconds candidates[] = {before, loadedOffsetAt(asUtc), loadedOffsetAt(asUtc + transitionReach)};
    std::optional<sys_seconds> earliest;
    for (std::size_t index = 0; index < std::size(candidates); ++index) {
        const seconds offset = candidates[index];
        // The same offset gives the same moment: away from a change one look settles all three.
        if (std::find(candidates, candidates + index, offset) != candidates + index) continue;
        const sys_seconds moment = asUtc - offset;
        if (loadedOffsetAt(moment) == offset && (!earliest || moment < *earliest)) {
            earliest = moment;
        }
    }
    return earliest.value_or(asUtc - before);
}

struct SplitDate {
    sys_seconds whole;
    std::chrono::microseconds fraction;
};

SplitDate split(Date date) {
    const auto whole = std::chrono::floor<seconds>(date);
    return {whole, date - whole};
}

/// The first moment after `from` (exclusive) up to `to` (inclusive) whose offset differs from
/// `from`'s, given that `to`'s does.
sys_seconds changeBetween(sys_seconds from, sys_seconds to) {
    const seconds offset = loadedOffsetAt(from);
    while (to - from > seconds(1)) {
        const sys_seconds middle = from + (to - from) / 2;
        (loadedOffsetAt(middle) == offset ? from : to) = middle;
    }
    return to;
}

/// Hashes the zone's offset in 1970 and each change of offset to 2100, found by sampling every
/// week and narrowing each change to its second: changes that undo each other within a week are
/// missed, which the zones' rules since 1970 hardly ever hold (their summer times last months).
std::string zoneFingerprint() {
    const sys_seconds first(std::chrono::sys_days(std::chrono::year(1970) / 1 / 1).time_since_epoch());
    const sys_seconds last(std::chrono::sys_days(std::chrono::year(2100) / 1 / 1).time_since_epoch());
    std::uint64_t hash = 14695981039346656037ULL; // 64-bit FNV-1a
    const auto add = [&hash](std::int64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= static_cast<std::uint64_t>(value >> (8 * byte)) & 0xFF;
            hash *= 1099511628211ULL;
        }
    };
    seconds offset = offsetAt(first);
    add(offset.count());
    // The zone was read just now; each week's offset is asked of the C library alone.
    for (sys_seconds at = first; at < last;) {
        const sys_seconds next = std::min(at + days(7), last);
        if (const seconds nextOffset = loadedOffsetAt(next); nextOffset != offset) {
            const sys_seconds change = changeBetween(at, next);
            add(change.time_since_epoch().count());
            offset = loadedOffsetAt(change);
            add(offset.count());
            at = change;
            continue;
        }
        at = next;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace

local_days localDay(Date date) { return std::chrono::floor<days>(toLocal(split(date).whole)); }

Date startOfDay(Date date) { return fromLocal(localDay(date)); }

Date startOfDay(local_days day) { return fromLocal(day); }

Date addingDays(Date date, int days) {
    const auto [whole, fraction] = split(date);
    return fromLocal(toLocal(whole) + std::chrono::days(days)) + fraction;
}

Date addingMonths(Date date, int months) {
    const auto [whole, fraction] = split(date);
    const local_seconds wall = toLocal(whole);
    const local_days day = std::chrono::floor<days>(wall);
    const std::chrono::year_month_day calendarDay(day);
    const auto month = std::chrono::year_month(calendarDay.year(), calendarDay.month()) + std::chrono::months(months);
    const auto lastDay = std::chrono::year_month_day_last(month.year(), std::chrono::month_day_last(month.month()));
    const std::chrono::year_month_day target(month.year(), month.month(), std::min(calendarDay.day(), lastDay.day()));
    return fromLocal(local_days(target) + (wall - day)) + fraction;
}

int wholeDaysBetween(Date from, Date to) {
    int days = static_cast<int>((localDay(to) - localDay(from)).count());
    // The calendar days differ by `days`; the last one counts only when it is complete.
    const Date reached = addingDays(from, days);
    if (to >= from && reached > to) {
        --days;
    } else if (to < from && reached < to) {
        ++days;
    }
    return days;
}

LocalDateComponents components(Date date) {
    const local_seconds wall = toLocal(split(date).whole);
    const local_days day = std::chrono::floor<days>(wall);
    const std::chrono::year_month_day calendarDay(day);
    const std::chrono::hh_mm_ss time(wall - day);
    LocalDateComponents result;
    result.year = static_cast<int>(calendarDay.year());
    result.month = static_cast<int>(static_cast<unsigned>(calendarDay.month()));
    result.day = static_cast<int>(static_cast<unsigned>(calendarDay.day()));
    result.hour = static_cast<int>(time.hours().count());
    result.minute = static_cast<int>(time.minutes().count());
    result.second = static_cast<int>(time.seconds().count());
    result.weekday = static_cast<int>(std::chrono::weekday(day).c_encoding()) + 1;
    return result;
}

std::optional<Date> dateFromComponents(const LocalDateComponents& components) {
    const auto within = [](int value, int lowest, int highest) { return value >= lowest && value <= highest; };
    if (!within(components.year, -32767, 32767) || !within(components.month, 1, 12) || !within(components.day, 1, 31) ||
        !within(components.hour, 0, 23) || !within(components.minute, 0, 59) || !within(components.second, 0, 59)) {
        return std::nullopt;
    }
    const std::chrono::year_month_day calendarDay(std::chrono::year(components.year),
                                                  std::chrono::month(static_cast<unsigned>(components.month)),
                                                  std::chrono::day(static_cast<unsigned>(components.day)));
    if (!calendarDay.ok()) {
        return std::nullopt;
    }
    const auto timeOfDay =
        std::chrono::hours(components.hour) + std::chrono::minutes(components.minute) + seconds(components.second);
    return Date(fromLocal(local_days(calendarDay) + timeOfDay));
}

bool isSameDay(Date first, Date second) { return localDay(first) == localDay(second); }

std::string timeZoneRules() {
    refreshTimeZone();
    {
        std::lock_guard lock(zoneMutex());
        if (knownRules()) return *knownRules();
    }
    auto rules = zoneFingerprint();
    std::lock_guard lock(zoneMutex());
    knownRules() = rules;
    return rules;
}

} // namespace norvane::platform::LocalCalendar
