#include "Norvane/state/StoreChanges.h"

#include <QPointer>

#include "Norvane/state/DerivedWrites.h"

namespace norvane::app {
namespace {

constexpr int externalChangeCheckMilliseconds = 1000;

} // namespace

StoreChanges::StoreChanges(NorvaneStore store, QObject* parent) : QObject(parent), store_(std::move(store)) {
    // Saves may happen on a worker: the notice always comes on this object's thread.
    observation_ = store_.observe([self = QPointer<StoreChanges>(this)] {
        if (DerivedWrites::areUnderWay()) return;
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self) emit self->changed();
            },
            Qt::QueuedConnection);
    });
    connect(&externalChanges_, &QTimer::timeout, this, &StoreChanges::check);
    externalChanges_.start(externalChangeCheckMilliseconds);
}

void StoreChanges::check() {
    if (checking_->exchange(true)) return;
    checks_.post([store = store_, checking = checking_] {
        store.checkForExternalChanges();
        checking->store(false);
    });
}

} // namespace norvane::app
