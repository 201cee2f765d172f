#pragma once

#include <string_view>

namespace norvane::platform {

/// Leaves a trace of a failure that no caller can be told of, such as a read whose defaults stand
/// in for what could not be read: one line on standard error, "PROGRAM: MESSAGE", written with one
/// call so that the lines of several threads never mix.
void logError(std::string_view message);

/// Tells of something that was left out or read otherwise than asked, while the work went on:
/// "PROGRAM: warning: MESSAGE", in the same way.
void logWarning(std::string_view message);

/// Tells of something that the program did which its user may wonder about and which is no
/// failure, such as work done again in full: "PROGRAM: note: MESSAGE", in the same way.
void logNotice(std::string_view message);

} // namespace norvane::platform
