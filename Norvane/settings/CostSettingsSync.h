#pragma once

#include <memory>

#include <QObject>

#include "Norvane/state/StoreWaitRetry.h"
#include "core/facade/NorvaneStore.h"
#include "platform/SerialExecutor.h"

namespace norvane::app {

class Preferences;

/// Keeps the store's cost parameters, which the collection's cost figures read, equal to the
/// salary, overhead and headcount of the preferences: it writes them once at the start and again
/// after each change, into the file at the store's path. The writes run one after another on a
/// worker of their own, so the last change is the one that stays; the writes asked for end before
/// the object does. A write that another program kept waiting is said once and tried again until
/// it lands or a newer one stands in for it. Each tells how it ended, on this object's thread.
class CostSettingsSync : public QObject {
    Q_OBJECT
public:
    CostSettingsSync(Preferences& preferences, NorvaneStore store, QObject* parent = nullptr);
    /// Lets the writes asked for so far end; for tests and the end of the program.
    void waitForWrites();
    /// Why the last write that ended stored nothing; empty when it stored the parameters.
    const QString& lastFailure() const { return lastFailure_; }

signals:
    /// A write ended: empty when it stored the parameters, else why nothing was stored (yet).
    void written(const QString& failure);

private:
    void write();
    void took(const QString& failure, bool keptWaiting);

    Preferences& preferences_;
    NorvaneStore store_;
    QString lastFailure_;
    StoreWaitRetry retry_;
    platform::SerialExecutor worker_;
};

} // namespace norvane::app
