#include "counter/CommandLine.h"

#include <optional>

namespace norvane::counter {

std::variant<CountRequest, HelpRequest, VersionRequest, std::string>
parseCommandLine(const std::vector<std::string>& arguments) {
    std::optional<std::string> path;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--help" || argument == "-h") {
            return HelpRequest{};
        }
        if (argument == "--version") {
            return VersionRequest{};
        }
        if (argument == "--format") {
            if (index + 1 == arguments.size()) {
                return std::string("--format needs a value");
            }
            if (const std::string& format = arguments[++index]; format != "json") {
                return "unsupported format: " + format + " (only json)";
            }
        } else if (!argument.empty() && argument.front() == '-') {
            return "unknown argument: " + argument;
        } else if (path) {
            return "unexpected argument: " + argument;
        } else {
            path = argument;
        }
    }
    if (!path || path->empty()) {
        return std::string("missing PATH");
    }
    return CountRequest{*path};
}

} // namespace norvane::counter
