#pragma once

#include <string>
#include <variant>
#include <vector>

namespace norvane::counter {

/// What `norvane-count --format json PATH` asks for.
struct CountRequest {
    std::string path;
};

/// "--help" or "-h", alone: the usage, and nothing counted.
struct HelpRequest {};

/// "--version", alone: the program's name and version, and nothing counted.
struct VersionRequest {};

/// Reads the arguments that follow the program's name. "--format json", or "--format=json", may be
/// left out, as JSON is the only format; anything else that starts with "-" is refused, so a path that begins with
/// "-" must follow "--", which ends the options, or be written as "./-name". Gives the request or
/// the reason it was refused.
std::variant<CountRequest, HelpRequest, VersionRequest, std::string>
parseCommandLine(const std::vector<std::string>& arguments);

} // namespace norvane::counter
