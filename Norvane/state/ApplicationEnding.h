#pragma once

#include <atomic>

#include <QObject>

#include "Norvane/state/TerminationSignals.h"
#include "platform/InterruptibleWaits.h"

class QCoreApplication;

namespace norvane::app {

/// The application's one ending, whoever asks for it: SIGTERM, SIGHUP or SIGINT (a logout, `kill`,
/// Ctrl-C in its terminal), Ctrl+Q in any window, Quit in a menu or the tray's panel, or a quit that
/// Qt itself is asked for (the session's end). It asks no window to close: one that refuses (a
/// sheet while it adds, an alert) would cancel it, and the first-run wizard would take it for the
/// user's own close, which skips the setup. It hides every window at once, so that none stays on
/// the screen unanswered while what runs is stopped, and leaves every event loop, those of dialogs
/// and alerts too; a loop of the application's own asks `isUnderway`. While it lives, an ending also
/// ends every thread's waits for the store, so that no worker holds it up for another program.
class ApplicationEnding : public QObject {
    Q_OBJECT

public:
    explicit ApplicationEnding(QCoreApplication& application);

    bool isUnderway() const { return underway_; }
    /// Ends the application; once only, however often it is asked.
    void end();

signals:
    /// Once, as the ending begins and before any event loop is left: what runs is to stop now.
    void begun();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TerminationSignals terminationSignals_;
    bool underway_ = false;
    std::atomic<bool> waitsInterrupted_{false};
    platform::InterruptibleWaits::ProcessScope waits_{waitsInterrupted_};
};

} // namespace norvane::app
