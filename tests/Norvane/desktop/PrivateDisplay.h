#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QApplication;
class QWidget;

namespace norvane::testing {

/// A private X server (Xvfb) for one test program, so that a real pointer stands over its windows:
/// the window system then sends the enter, leave and motion events, the synthetic ones of a widget
/// torn down under the pointer among them, that an offscreen run never sees. Started on first use;
/// it ends with the program, however the program ends.
class PrivateDisplay {
public:
    /// The display, started the first time; DISPLAY names it from then on.
    static const PrivateDisplay& instance();

    /// The display's name, as DISPLAY takes it (":12").
    const QString& name() const { return name_; }
    /// Whether a window of any program shows on the display, titled `title`, as the window system
    /// has it.
    bool showsWindow(const std::string& title) const;
    /// Gives the keyboard to the frontmost window titled `title`, of any program, as a window manager
    /// gives it to a window that opens, and presses and lets go of `key` (an X keysym) there; false
    /// when no such window shows.
    bool pressKey(const std::string& title, std::uint32_t key) const;

    static constexpr int width = 1600;
    static constexpr int height = 1200;

private:
    PrivateDisplay();

    QString name_;
};

/// The test program's application on the private display, in the dark theme, with animations off.
QApplication& pointerApplication();

/// A fixture's first base: makes the application on the private display before anything else makes one.
struct OnPrivateDisplay {
    OnPrivateDisplay() { pointerApplication(); }
};

/// Shows `window` at the top left of the screen at `size` and waits until it is on the screen and
/// active.
void showOnScreen(QWidget& window, QSize size);

/// Moves the real pointer onto `widget`, once `bringIntoSight` has scrolled it into view, and waits
/// until the window system has told the widget that it came: to `at` in the widget's coordinates,
/// asked anew as the widget lays itself out, or to its middle.
void placePointer(QWidget& widget, const std::function<QPoint()>& at = {},
                  const std::function<void()>& bringIntoSight = {});

/// Runs the event loop until `done` holds; false when it never does.
bool runEventsUntil(const std::function<bool()>& done);

} // namespace norvane::testing
