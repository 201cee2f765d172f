#pragma once

namespace norvane::app {

/// The window system that the application is to draw on, asked before QApplication is made: Qt
/// aborts the process when it cannot connect to one.
namespace DisplayServer {

/// Whether the platform that Qt is to draw on finds its display: an X server at DISPLAY for xcb, a
/// Wayland compositor at WAYLAND_DISPLAY for wayland, either for Qt's default; always for a
/// platform that needs none (QT_QPA_PLATFORM or the `-platform` argument naming offscreen, minimal,
/// vnc and the like).
bool reachable(int argc, const char* const* argv);

} // namespace DisplayServer
} // namespace norvane::app
