#include "platform/XdgPaths.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace norvane::platform::XdgPaths {

namespace {

std::filesystem::path passwordDatabaseHome() {
    long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] != '\0') {
        return found->pw_dir;
    }
    // Without any home, the root folder makes writes fail loudly instead of landing in the
    // working folder.
    return "/";
}

/// The variable's value when it holds an absolute path, else `fallback` below the home folder.
std::filesystem::path baseFolder(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable)) {
        const std::filesystem::path path(value);
        if (path.is_absolute()) {
            return path;
        }
    }
    return homeFolder() / fallback;
}

} // namespace

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    return passwordDatabaseHome();
}

std::filesystem::path expandingHome(const std::string& typed) {
    if (typed == "~") return homeFolder();
    if (typed.starts_with("~/")) return homeFolder() / typed.substr(2);
    return typed;
}

std::filesystem::path dataHome() { return baseFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path configHome() { return baseFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path stateHome() { return baseFolder("XDG_STATE_HOME", ".local/state"); }

std::filesystem::path executableFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

} // namespace norvane::platform::XdgPaths
