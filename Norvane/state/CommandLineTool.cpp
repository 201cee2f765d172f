#include "Norvane/state/CommandLineTool.h"

#include "core/models/BuildConfiguration.h"
#include "platform/ExecutableFile.h"
#include "platform/XdgPaths.h"

namespace norvane::app {
namespace {

constexpr const char* toolName = "norvane";

} // namespace

CommandLineTool CommandLineTool::standard() {
    return {platform::XdgPaths::executableFolder(),
            std::filesystem::path(BuildConfiguration::installBinFolder) / toolName};
}

std::optional<std::filesystem::path> CommandLineTool::find() const {
    for (const auto& candidate : {programFolder / toolName, linkPath}) {
        if (platform::isExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

std::filesystem::path CommandLineTool::shownPath() const { return find().value_or(linkPath); }

bool CommandLineTool::hasLink() const {
    std::error_code error;
    return std::filesystem::is_symlink(linkPath, error);
}

} // namespace norvane::app
