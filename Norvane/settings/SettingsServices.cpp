#include "Norvane/settings/SettingsServices.h"

#include "Norvane/state/KitServices.h"
#include "core/models/NorvaneDatabase.h"

namespace norvane::app {

SettingsServices SettingsServices::standard(Preferences& preferences, NorvaneStore store,
                                            std::shared_ptr<CostSettingsSync> costSettings) {
    return {&preferences,
            std::move(store),
            std::move(costSettings),
            std::make_shared<LaunchdManager>(),
            std::make_shared<CLIInstaller>(),
            std::make_shared<SharedIndexClient>(),
            CommandLineTool::standard()};
}

std::filesystem::path SettingsServices::storeFile() const {
    return store.file() ? *store.file() : NorvaneDatabase::containerURL();
}

} // namespace norvane::app
