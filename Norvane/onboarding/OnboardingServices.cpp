#include "Norvane/onboarding/OnboardingServices.h"

namespace norvane::app {

OnboardingServices OnboardingServices::standard(AppState& appState) {
    return {&appState, std::make_shared<DependencyCheck>(), std::make_shared<CLIInstaller>(),
            std::make_shared<LaunchdManager>(), CommandLineTool::standard()};
}

} // namespace norvane::app
