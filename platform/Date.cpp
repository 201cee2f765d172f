#include "platform/Date.h"

#include <cmath>

namespace norvane::platform {

namespace {

// Beyond this many seconds the microsecond count would overflow (about 292,000 years).
constexpr double largestSeconds = 9.2e12;

} // namespace

Date currentDate() { return std::chrono::floor<std::chrono::microseconds>(std::chrono::system_clock::now()); }

Clock systemClock() {
    return [] { return currentDate(); };
}

double secondsSinceEpoch(Date date) { return std::chrono::duration<double>(date.time_since_epoch()).count(); }

Date dateFromSecondsSinceEpoch(double seconds) {
    if (std::isnan(seconds)) {
        return Date{};
    }
    const double clamped = std::fmax(-largestSeconds, std::fmin(largestSeconds, seconds));
    // Rounding keeps values like 0.1 s from landing one microsecond short.
    return Date(std::chrono::microseconds(std::llround(clamped * 1e6)));
}

} // namespace norvane::platform
