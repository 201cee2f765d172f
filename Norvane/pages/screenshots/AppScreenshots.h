#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane::app {

class ApplicationController;
class OceanSegmentedPicker;

/// The pictures of the application that a reviewer looks at, staged one after the other on a
/// running controller over the demo store: the main window, the portfolio page, the window with a
/// failure banner over a project's page, the project page in its states, the menu-bar panel, the
/// settings window's tabs, the sheets and the first-run wizard's steps.
namespace AppScreenshots {

/// Runs the event loop until the first metrics are in, then stages each picture and hands its
/// file name and the widget to draw to `take`, before staging the next.
void stage(ApplicationController& controller, const std::function<void(const QString& name, QWidget& widget)>& take);

/// Runs the event loop until `ready` holds (or a while has passed), then until every animation
/// has ended and every layout is done.
void settle(const std::function<bool()>& ready = [] { return true; });

/// Clicks the segment of `picker` that reads `label`.
void choose(OceanSegmentedPicker& picker, const QString& label);

/// Presses and releases `key` where the focus is, as the keyboard does.
void pressKey(int key);

/// The failure that the banner's picture shows: several projects, more than two lines long.
QString bannerMessage();

} // namespace AppScreenshots
} // namespace norvane::app
