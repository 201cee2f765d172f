#pragma once

#include <memory>

#include "Norvane/onboarding/DependencyCheck.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/CLIInstaller.h"
#include "Norvane/state/CommandLineTool.h"
#include "Norvane/state/LaunchdManager.h"

namespace norvane::app {

/// What the first-run wizard works with; tests point each at a temporary home, a stand-in login
/// shell or a fake runner. Work handed to a worker shares the services it needs, so they outlive it.
struct OnboardingServices {
    /// The application's one state: its preferences, and the worker that adds the first project.
    AppState* appState = nullptr;
    std::shared_ptr<const DependencyCheck> dependencies;
    std::shared_ptr<const CLIInstaller> installer;
    std::shared_ptr<const LaunchdManager> agent;
    /// Where the command-line tool is looked for: beside the program, then the installer's link.
    CommandLineTool tool;

    /// The running program's checks, installer and agent, over `appState`.
    static OnboardingServices standard(AppState& appState);

    Preferences& preferences() const { return appState->preferences(); }
};

} // namespace norvane::app
