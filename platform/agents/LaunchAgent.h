#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/agents/PropertyListValue.h"

namespace norvane::platform {

/// A property list that does not describe an agent this layer can run.
class LaunchAgentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// What a launch agent's property list asks for: a program run at a time of day, with its output
/// appended to files. A missing hour or minute means every hour or every minute.
struct LaunchAgent {
    std::string label;
    std::vector<std::string> programArguments;
    std::optional<int> hour;
    std::optional<int> minute;
    std::optional<std::string> standardOutPath;
    std::optional<std::string> standardErrorPath;

    /// Reads the keys Label, ProgramArguments, StartCalendarInterval (Hour, Minute),
    /// StandardOutPath and StandardErrorPath; throws `LaunchAgentError`.
    static LaunchAgent fromPropertyList(const PropertyListValue& propertyList);
    /// Only the label, which is all that unloading needs; throws `LaunchAgentError`.
    static std::string labelOf(const PropertyListValue& propertyList);
};

} // namespace norvane::platform
