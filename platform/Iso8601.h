#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>
#include <string_view>

namespace norvane::platform {

/// ISO 8601 texts of the internet profile: "2026-03-14T09:26:53Z".
namespace Iso8601 {

/// UTC, whole seconds, with a "Z" suffix.
std::string format(Date date);

/// Strict parse of "YYYY-MM-DDTHH:MM:SS" with an optional fraction and a "Z" or "+HH:MM"/"-HH:MM"
/// offset. Anything else (missing parts, trailing text, out-of-range fields) gives none.
std::optional<Date> parse(std::string_view text);

/// The local calendar day as "YYYY-MM-DD".
std::string formatLocalDay(Date date);

/// The local date and time, whole seconds, as "YYYY-MM-DD HH:MM:SS".
std::string formatLocalMoment(Date date);

} // namespace Iso8601
} // namespace norvane::platform
