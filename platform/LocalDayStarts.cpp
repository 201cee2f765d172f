#include "platform/LocalDayStarts.h"

#include "platform/LocalCalendar.h"

#include <iterator>

namespace norvane::platform {

Date LocalDayStarts::of(Date date) {
    if (start_ && date >= *start_ && date < next_) {
        return *start_;
    }
    const auto after = days_.upper_bound(date);
    const auto before = after == days_.begin() ? days_.end() : std::prev(after);
    if (before != days_.end() && date < before->second.next) {
        start_ = before->first;
        next_ = before->second.next;
        return *start_;
    }
    const auto day = LocalCalendar::localDay(date);
    const std::chrono::days one(1);
    start_ =
        before != days_.end() && before->second.day == day - one ? before->second.next : LocalCalendar::startOfDay(day);
    next_ =
        after != days_.end() && after->second.day == day + one ? after->first : LocalCalendar::startOfDay(day + one);
    days_.emplace_hint(after, *start_, Day{day, next_});
    return *start_;
}

} // namespace norvane::platform
