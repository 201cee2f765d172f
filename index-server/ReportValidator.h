#pragma once

#include "core/community/AnonymousActivityReport.h"

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
/// the client can hold: counts within 0 to a billion, finite numbers in their ranges, known
/// size buckets and modes, a device id of 1 to 128 bytes, a version such as "0.1.0", and a
/// `periodDays` of 1, since the benchmarks count every report as one day.
namespace ReportValidator {

/// The largest velocity retention, in percent, that a report may carry.
inline constexpr double maxRetentionPercent = 1e9;

/// The report in `body`; throws `InvalidReport`.
AnonymousActivityReport decode(std::string_view body);

} // namespace ReportValidator
} // namespace norvane::indexserver
