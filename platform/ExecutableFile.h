#pragma once

#include <filesystem>

namespace norvane::platform {

/// Whether `path` leads, through any links, to a regular file that this user may run. A link
/// whose target is missing is not executable.
bool isExecutableFile(const std::filesystem::path& path);

} // namespace norvane::platform
