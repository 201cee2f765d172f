#include "Norvane/settings/CostSettingsSync.h"

#include <exception>

#include "Norvane/LogCategories.h"
#include "Norvane/state/Preferences.h"

namespace norvane::app {

CostSettingsSync::CostSettingsSync(Preferences& preferences, NorvaneStore store, QObject* parent)
    : QObject(parent), preferences_(preferences), store_(std::move(store)) {
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
    const double wage = preferences_.averageWage();
    const double overhead = preferences_.overhead();
    const std::int64_t headcount = preferences_.headcount();
    worker_.post([store = store_, wage, overhead, headcount] {
        try {
            store.updateCostSettings(wage, overhead, headcount);
        } catch (const std::exception& failure) {
            qCWarning(settingsLog, "Failed to store the cost parameters: %s", failure.what());
        }
    });
}

} // namespace norvane::app
