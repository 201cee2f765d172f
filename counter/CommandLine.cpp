#include "counter/CommandLine.h"

#include <optional>

namespace norvane::counter {

std::variant<CountRequest, HelpRequest, VersionRequest, std::string>
parseCommandLine(const std::vector<std::string>& arguments) {
    std::optional<std::string> path;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        const bool option = !optionsEnded && !argument.empty() && argument.front() == '-';
        const bool help = argument == "--help" || argument == "-h";
        if (option && (help || argument == "--version")) {
            // A word beside them is a mistake, not something to drop.
            if (arguments.size() > 1) {
                return argument + " takes no other arguments";
            }
            if (help) {
                return HelpRequest{};
            }
            return VersionRequest{};
        }
        if (option && argument == "--") {
            optionsEnded = true;
        } else if (option && (argument == "--format" || argument.starts_with("--format="))) {
            if (argument == "--format" && index + 1 == arguments.size()) {
                return std::string("--format needs a value");
            }
            const std::string format = argument == "--format" ? arguments[++index] : argument.substr(9);
            if (format != "json") {
                return "unsupported format: " + format + " (only json)";
            }
        } else if (option) {
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
