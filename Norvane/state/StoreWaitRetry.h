#pragma once

#include <chrono>
#include <functional>

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QTimer>

namespace norvane::app {

/// Work on the store that another program kept waiting for longer than a use waits: said once, and
/// tried again every two seconds until it ends otherwise, so that nothing is dropped while another
/// program holds the store, however long.
class StoreWaitRetry : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds standardInterval{2000};

    /// `retry` does the work again after `interval`; the wait is said in `category` as "`what`: why".
    StoreWaitRetry(const QLoggingCategory& category, QString what, std::function<void()> retry,
                   std::chrono::milliseconds interval = standardInterval, QObject* parent = nullptr);

    /// The work was kept waiting: says so unless it was said already since the work last ended
    /// otherwise, and tries it again later. True when it said so now.
    bool keptWaiting(const QString& why);
    /// The work ended otherwise: a later wait is said again.
    void ended();
    /// The work is asked for anew now: no try is due.
    void cancel() { timer_.stop(); }

private:
    const QLoggingCategory& category_;
    QString what_;
    bool said_ = false;
    QTimer timer_;
};

} // namespace norvane::app
