#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvane::counter {

/// Writes `text` whole to standard output: none when it did, else the system's reason why it could
/// not (a full disk, a closed file), so that a cut output is told from a whole one.
std::optional<std::string> writeToStandardOutput(std::string_view text);

} // namespace norvane::counter
