#pragma once

#include <QObject>
#include <QSocketNotifier>

#include "platform/FileDescriptor.h"

#include <memory>

namespace norvane::app {

/// Ends the application on SIGTERM, SIGHUP and SIGINT as Quit ends it (a logout, `kill`, Ctrl-C in
/// its terminal): the store closes with its log emptied and the settings are written. The handler
/// only writes to a pipe that the main thread watches; a second signal, while the first one waits
/// for the main thread, meets the handler that was there before (which stops the child processes
/// and ends the program at once). A signal that the program was started ignoring stays ignored.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received();

private:
    platform::FileDescriptor readEnd_;
    platform::FileDescriptor writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace norvane::app
