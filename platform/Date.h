#pragma once

#include <chrono>
#include <functional>

namespace norvane::platform {

/// A moment in time, with the microsecond precision that the store keeps.
using Date = std::chrono::sys_time<std::chrono::microseconds>;

/// Where "now" comes from; services take one so that tests can fix the clock.
using Clock = std::function<Date()>;

/// The current moment, truncated to the store's precision.
Date currentDate();

/// The system clock as a `Clock`.
Clock systemClock();

/// The earliest representable moment, for "everything since the beginning".
constexpr Date distantPast() { return Date(std::chrono::microseconds(-62135596800LL * 1000000)); }

/// Seconds since the Unix epoch, fractional.
double secondsSinceEpoch(Date date);

/// The moment `seconds` after the Unix epoch.
Date dateFromSecondsSinceEpoch(double seconds);

} // namespace norvane::platform
