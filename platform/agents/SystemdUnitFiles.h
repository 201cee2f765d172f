#pragma once

#include <string>
#include <string_view>

#include "platform/agents/LaunchAgent.h"

namespace norvane::platform {

/// The texts of the systemd user units that stand in for a launch agent: a oneshot service that
/// runs the program and a timer that starts it at the agent's time of day.
namespace SystemdUnitFiles {

std::string serviceName(const std::string& label);
std::string timerName(const std::string& label);

/// One word of an ExecStart line: double-quoted, C-escaped, with "%" doubled for the unit
/// specifiers and, in arguments after the program, "$" doubled against variable expansion.
std::string quoteExecWord(std::string_view word, bool isProgram);

/// The service unit; throws `LaunchAgentError` for log paths that systemd cannot take.
std::string serviceUnit(const LaunchAgent& agent);
std::string timerUnit(const LaunchAgent& agent);

} // namespace SystemdUnitFiles
} // namespace norvane::platform
