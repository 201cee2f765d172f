#include "Norvane/state/CommandLineTool.h"

#include <cstdlib>
#include <string_view>

#include "core/models/BuildConfiguration.h"
#include "platform/ExecutableFile.h"
#include "platform/XdgPaths.h"

namespace norvane::app {
namespace {

constexpr const char* toolName = "norvane";

} // namespace

CommandLineTool CommandLineTool::standard() {
    const char* path = std::getenv("PATH");
    return {platform::XdgPaths::executableFolder(),
            std::filesystem::path(BuildConfiguration::installBinFolder) / toolName, path != nullptr ? path : ""};
}

std::optional<std::filesystem::path> CommandLineTool::find() const {
    for (const auto& candidate : {programFolder / toolName, linkPath}) {
        if (platform::isExecutableFile(candidate)) return candidate;
    }
    return findOnPath();
}

std::optional<std::filesystem::path> CommandLineTool::findOnPath() const {
    std::string_view folders = searchPath;
    while (!folders.empty()) {
        const auto end = folders.find(':');
        const std::filesystem::path folder(folders.substr(0, end));
        folders = end == std::string_view::npos ? std::string_view() : folders.substr(end + 1);
        // An empty or relative entry names the terminal's current folder, which is not "any directory".
        if (!folder.is_absolute()) continue;
        if (platform::isExecutableFile(folder / toolName)) return folder / toolName;
    }
    return std::nullopt;
}

CommandLineTool::Status CommandLineTool::status() const {
    std::error_code error;
    // Only a link can be taken away: a tool installed into the install bin folder itself stays.
    const bool linked = std::filesystem::is_symlink(linkPath, error) && platform::isExecutableFile(linkPath);
    const auto onPath = findOnPath();
    const Action action = linked ? Action::uninstall : onPath ? Action::none : Action::install;
    if (onPath) return {Reach::onPath, *onPath, action};
    if (const auto found = find()) return {Reach::besideApplication, *found, action};
    return {Reach::missing, linkPath, action};
}

} // namespace norvane::app
