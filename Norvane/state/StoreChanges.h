#pragma once

#include <atomic>
#include <memory>

#include <QObject>
#include <QTimer>

#include "core/facade/NorvaneStore.h"
#include "platform/SerialExecutor.h"

namespace norvane::app {

/// The notice of every change of the store, whoever made it, on the thread this object lives on: a
/// save through the store's connection (from any thread), and a change by another connection or
/// process (the collections' own connection, the command-line tool, the daily agent) once SQLite's
/// data version shows it, which is checked every second on a worker of its own, since a check may
/// wait for another program. Whatever shows the store reads it again on this notice, as it does at
/// start. The application's own derived rows (`DerivedWrites`) are no change of their own.
class StoreChanges : public QObject {
    Q_OBJECT

public:
    /// How long whatever reads the store again on `changed` waits for the changes to pause: long
    /// enough to take a collection's saves as one change.
    static constexpr int settleMilliseconds = 500;

    explicit StoreChanges(NorvaneStore store, QObject* parent = nullptr);

signals:
    void changed();

private:
    /// Checks on the worker, unless a check is still under way there.
    void check();

    NorvaneStore store_;
    NorvaneStore::Observation observation_;
    QTimer externalChanges_;
    std::shared_ptr<std::atomic<bool>> checking_ = std::make_shared<std::atomic<bool>>(false);
    platform::SerialExecutor checks_;
};

} // namespace norvane::app
