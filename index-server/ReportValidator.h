#pragma once

#include "core/community/AnonymousActivityReport.h"
#include "platform/Date.h"

#include <chrono>
#include <stdexcept>
#include <string_view>

namespace norvane::indexserver {

/// A posted report that the service refuses; the text says why.
class InvalidReport : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads the reports that clients post. A body is taken only as UTF-8 JSON that names each field
/// once (not twice, nor as both "device_id" and "deviceId"), holding values that a report built by
/// the client can hold: counts within 0 to a billion, known size buckets and modes, a device id of
/// 1 to 128 bytes without control characters, a version such as "0.1.0", a `periodDays` of 1 (the benchmarks count
/// every report as one day), 90 history days, and dates and numbers within what the client computes:
/// - the activity date: the client sends today's row, and resends it while it is younger than 7
///   days; a day more either way allows for its clock and the service's;
/// - the project's age: the first commit lies after 1970 (git's dates start there) and at most a
///   century ahead;
/// - the maturity multiplier: what the client's formula gives for those ages and counts;
/// - velocity retention: 0 to a million percent, a velocity ten thousand times the project's first
///   two months'.
namespace ReportValidator {

/// The largest velocity retention, in percent, that a report may carry.
inline constexpr double maxRetentionPercent = 1e6;
/// How far the activity date may lie before and after the service's clock.
inline constexpr std::chrono::hours maxActivityAge{24 * 8};
inline constexpr std::chrono::hours maxActivityAhead{24};

/// The report in `body`, received at `now`; throws `InvalidReport`.
AnonymousActivityReport decode(std::string_view body, platform::Date now);

/// Throws `InvalidReport` saying what `named` must hold unless `deviceId` is an id a client could
/// send: 1 to 128 bytes of UTF-8 text without control characters.
void requireDeviceId(const std::string& deviceId, std::string_view named);

} // namespace ReportValidator
} // namespace norvane::indexserver
