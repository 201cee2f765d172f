#include "Norvane/state/DisplayServer.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace norvane::app::DisplayServer {
namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

/// The platforms that Qt is to try, as it reads them: the `-platform` argument before
/// QT_QPA_PLATFORM; empty for its default.
std::string_view chosenPlatforms(int argc, const char* const* argv) {
    for (int index = 1; index + 1 < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "-platform" || argument == "--platform") {
            return argv[index + 1];
        }
    }
    return environment("QT_QPA_PLATFORM");
}

bool xServerAnswers() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return false;
    }
    // As Qt connects, with the same library, so that an unreachable server or a refused
    // authorisation is found here too.
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

bool waylandCompositorAnswers() {
    const auto name = environment("WAYLAND_DISPLAY");
    if (name.empty()) {
        return false;
    }
    // A name alone is a socket in the runtime folder, as the Wayland library reads it.
    std::filesystem::path socketPath(name);
    if (socketPath.is_relative()) {
        const auto runtimeFolder = environment("XDG_RUNTIME_DIR");
        if (runtimeFolder.empty()) {
            return false;
        }
        socketPath = std::filesystem::path(runtimeFolder) / socketPath;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const auto& text = socketPath.native();
    if (text.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers =
        descriptor >= 0 && ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (descriptor >= 0) {
        ::close(descriptor);
    }
    return answers;
}

/// Whether Qt's platform of that name (with its options after a colon) finds what it draws on.
bool platformReachable(std::string_view platform) {
    const std::string_view name(platform.begin(), std::find(platform.begin(), platform.end(), ':'));
    if (name == "xcb") {
        return xServerAnswers();
    }
    if (name.starts_with("wayland")) {
        return waylandCompositorAnswers();
    }
    // offscreen, minimal, vnc, eglfs and the like draw without a display server.
    return true;
}

} // namespace

bool reachable(int argc, const char* const* argv) {
    const auto platforms = chosenPlatforms(argc, argv);
    if (platforms.empty()) {
        // Qt's default: xcb, or wayland where the session says it is one.
        return xServerAnswers() || waylandCompositorAnswers();
    }
    // Qt tries the platforms of a list in turn.
    for (std::string_view rest = platforms; !rest.empty();) {
        const auto end = rest.find(';');
        if (const auto platform = rest.substr(0, end); !platform.empty() && platformReachable(platform)) {
            return true;
        }
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return false;
}

} // namespace norvane::app::DisplayServer
