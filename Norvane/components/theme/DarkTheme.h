#pragma once

class QApplication;
class QPalette;

namespace norvane::app {

/// The application's one appearance: dark, whatever the desktop's setting.
class DarkTheme {
public:
    /// Fusion style, the palette below (tooltips too), the Inter text font, the symbol font and the
    /// ring that marks the keyboard focus.
    /// Called once at start-up, before any window is made.
    static void apply(QApplication& application);
    /// The widget palette made from the application's colours.
    static QPalette palette();
};

} // namespace norvane::app
