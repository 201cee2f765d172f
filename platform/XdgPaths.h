#pragma once

#include <filesystem>
#include <string>

namespace norvane::platform {

/// The freedesktop base folders, read afresh from the environment on every call.
namespace XdgPaths {

/// $HOME, else the home folder of the password database.
std::filesystem::path homeFolder();

/// A path as a user types it, with "~" and a leading "~/" naming the home folder, as a shell
/// takes them; "~user" and every other path stay as they are.
std::filesystem::path expandingHome(const std::string& typed);

/// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share. Stands in for the
/// user's Application Support folder.
std::filesystem::path dataHome();

/// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path configHome();

/// $XDG_STATE_HOME when it is an absolute path, else ~/.local/state. Stands in for the user's
/// Logs folder.
std::filesystem::path stateHome();

/// The folder of the running executable.
std::filesystem::path executableFolder();

} // namespace XdgPaths
} // namespace norvane::platform
