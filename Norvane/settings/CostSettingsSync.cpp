#include "Norvane/settings/CostSettingsSync.h"

#include <exception>

#include "Norvane/LogCategories.h"
#include "Norvane/state/Preferences.h"

namespace norvane::app {

CostSettingsSync::CostSettingsSync(Preferences& preferences, NorvaneStore store, QObject* parent)
    : QObject(parent), preferences_(preferences), store_(std::move(store)),
      retry_(settingsLog(), QStringLiteral("Failed to store the cost parameters"), [this] { write(); }) {
    connect(&preferences_, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKey::averageWage || key == PreferenceKey::overhead || key == PreferenceKey::headcount)
            write();
    });
    // Values chosen before the store followed them reach it now.
    write();
}

void CostSettingsSync::waitForWrites() {
    worker_.submit([] {}).wait();
}

void CostSettingsSync::write() {
    retry_.cancel();
    const double wage = preferences_.averageWage();
    const double overhead = preferences_.overhead();
    const std::int64_t headcount = preferences_.headcount();
    // The worker ends before this object does: a notice it posts goes with the object.
    worker_.post([this, store = store_, wage, overhead, headcount] {
        QString failure;
        bool keptWaiting = false;
        try {
            store.updateCostSettings(wage, overhead, headcount);
        } catch (const NorvaneStore::BusyError& error) {
            failure = QString::fromUtf8(error.what());
            keptWaiting = true;
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
        QMetaObject::invokeMethod(
            this, [this, failure, keptWaiting] { took(failure, keptWaiting); }, Qt::QueuedConnection);
    });
}

void CostSettingsSync::took(const QString& failure, bool keptWaiting) {
    lastFailure_ = failure;
    if (keptWaiting) {
        retry_.keptWaiting(failure);
        lastFailure_ += QStringLiteral("; it is stored once the other program lets go");
    } else {
        retry_.ended();
        if (!failure.isEmpty())
            qCWarning(settingsLog, "Failed to store the cost parameters: %s", qUtf8Printable(failure));
    }
    emit written(lastFailure_);
}

} // namespace norvane::app
