#pragma once

#include <string_view>

namespace norvane::platform {

/// The ASCII white space that outside programs put around what they print.
inline constexpr std::string_view asciiWhiteSpace = " \t\n\r\f\v";

/// `text` without the leading and trailing characters found in `characters`; a view into `text`.
std::string_view trimmed(std::string_view text, std::string_view characters = asciiWhiteSpace);

} // namespace norvane::platform
