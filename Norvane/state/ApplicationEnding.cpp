#include "Norvane/state/ApplicationEnding.h"

#include <cstdlib>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace norvane::app {

ApplicationEnding::ApplicationEnding(QCoreApplication& application) {
    connect(&terminationSignals_, &TerminationSignals::received, this, &ApplicationEnding::end);
    application.installEventFilter(this);
}

void ApplicationEnding::end() {
    if (underway_) return;
    underway_ = true;
    waitsInterrupted_ = true;
    emit begun();
    for (auto* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(EXIT_SUCCESS);
}

bool ApplicationEnding::eventFilter(QObject* watched, QEvent* event) {
    // Qt's own quit would first ask every window to close.
    const bool quit = event->type() == QEvent::Quit && watched == QCoreApplication::instance();
    // A window whose menu is out of reach, behind a sheet or the wizard, or that has none.
    const bool quitKey =
        event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Quit);
    if (!quit && !quitKey) return QObject::eventFilter(watched, event);
    end();
    return true;
}

} // namespace norvane::app
