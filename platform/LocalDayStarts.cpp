#include "platform/LocalDayStarts.h"

#include "platform/LocalCalendar.h"

namespace norvane::platform {

Date LocalDayStarts::of(Date date) {
    if (!start_ || date < *start_ || date >= next_) {
        const auto day = LocalCalendar::localDay(date);
        start_ = LocalCalendar::startOfDay(day);
        next_ = LocalCalendar::startOfDay(day + std::chrono::days(1));
    }
    return *start_;
}

} // namespace norvane::platform
