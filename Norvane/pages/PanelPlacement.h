#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace norvane::app {

/// Where the menu-bar panel opens: beside the tray icon, never over it, and whole on the screen.
class PanelPlacement {
public:
    /// The panel's top-left corner for a tray icon at `icon` on a screen whose free area is
    /// `area`. Below the icon when there is room (a tray at the top), else above it (a tray at
    /// the bottom), else to its side (a tray down the left or right edge); centred on the icon
    /// along the other direction and kept inside `area`.
    static QPoint position(const QRect& icon, const QSize& panel, const QRect& area);

    /// The first of `places` (top-left corners, in order of preference) where `panel` covers none
    /// of `windows`; where every place covers some, the one that covers the least of them.
    static QPoint clearOf(const std::vector<QPoint>& places, const QSize& panel, const std::vector<QRect>& windows);
};

} // namespace norvane::app
