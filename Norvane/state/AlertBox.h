#pragma once

#include <memory>

#include <QMessageBox>

namespace norvane::app {

/// The application's alerts: the title as window title and as the box's text, an informative text
/// under it. The box is as wide as the informative text's longest line, so that a path is not
/// broken at its slashes and the window manager has room for the whole title, up to a limit and to
/// half the screen's width, where the text wraps between its words and a path after its slashes.
class AlertBox {
public:
    static std::unique_ptr<QMessageBox> make(QMessageBox::Icon icon, const QString& title, const QString& text);
    /// Shows an alert with one "OK" button and returns when the user has closed it.
    static void run(QMessageBox::Icon icon, const QString& title, const QString& text);
};

} // namespace norvane::app
