#pragma once

#include <filesystem>
#include <memory>

#include "Norvane/state/CLIInstaller.h"
#include "Norvane/state/CommandLineTool.h"
#include "Norvane/state/IndexClient.h"
#include "Norvane/state/LaunchdManager.h"
#include "Norvane/state/Preferences.h"
#include "core/facade/NorvaneStore.h"

namespace norvane::app {

class CostSettingsSync;
class SaveFolder;

/// What the settings window works with; tests point each at a temporary home, a fake runner or a
/// local service. Work handed to a worker shares the services it needs, so they outlive it.
struct SettingsServices {
    /// The application's preferences; they outlive the window.
    Preferences* preferences = nullptr;
    /// The application's store.
    NorvaneStore store;
    /// Keeps the store's cost parameters equal to the preferences; it outlives the window, so that
    /// what was typed there reaches the store once it can, the window closed or not.
    std::shared_ptr<CostSettingsSync> costSettings;
    std::shared_ptr<const LaunchdManager> agent;
    std::shared_ptr<const CLIInstaller> installer;
    std::shared_ptr<IndexClient> indexClient;
    /// Where the command-line tool is looked for: beside the program, then the installer's link.
    CommandLineTool tool;
    /// Where the application's save dialogs open; it outlives the window. None: the window keeps
    /// its own.
    SaveFolder* saveFolder = nullptr;

    /// The agent, the installer and the benchmark client of the running program, over `store`.
    static SettingsServices standard(Preferences& preferences, NorvaneStore store,
                                     std::shared_ptr<CostSettingsSync> costSettings);

    /// The store file: the store's own, else where the store would be.
    std::filesystem::path storeFile() const;
};

} // namespace norvane::app
