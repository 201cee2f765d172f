#include "Norvane/onboarding/OnboardingWizardModel.h"

#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {

OnboardingWizardModel::OnboardingWizardModel(OnboardingServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), cliStatus_(services_.tool.status()),
      projectAdder_(*services_.appState) {
    // Whether scc is required shows from the start, before the first check has finished.
    dependencies_.builtInCounter = services_.dependencies->hasBuiltInCounter();
    connect(&projectAdder_, &AddProjectController::finished, this, [this] {
        addedProject_ = projectAdder_.addedProject();
        emit changed();
    });
}

void OnboardingWizardModel::readCliStatus() {
    cliStatus_ = services_.tool.status();
    emit changed();
}

void OnboardingWizardModel::setSchedulingEnabled(bool enabled) {
    schedulingEnabled_ = enabled;
    emit changed();
}

void OnboardingWizardModel::setDataCollectionEnabled(bool enabled) {
    dataCollectionEnabled_ = enabled;
    emit changed();
}

void OnboardingWizardModel::setBusy(bool busy) {
    isBusy_ = busy;
    emit changed();
}

void OnboardingWizardModel::checkDependencies() {
    const int generation = ++dependencyCheckGeneration_;
    isCheckingDependencies_ = true;
    emit changed();
    runInBackground<DependencyCheck::Findings>(
        this, [check = services_.dependencies] { return check->runChecks(); },
        [this, generation](std::optional<DependencyCheck::Findings> findings, const QString&) {
            // A check started since then answers for both.
            if (generation != dependencyCheckGeneration_) return;
            dependencies_ = findings.value_or(DependencyCheck::Findings{});
            canProceed_ = dependencies_.scc || dependencies_.builtInCounter;
            isCheckingDependencies_ = false;
            emit changed();
        });
}

void OnboardingWizardModel::goNext() {
    if (currentStep_ != OnboardingStep::completion) moveTo(OnboardingStep(int(currentStep_) + 1));
}

void OnboardingWizardModel::goBack() {
    if (currentStep_ != OnboardingStep::welcome) moveTo(OnboardingStep(int(currentStep_) - 1));
}

void OnboardingWizardModel::moveTo(OnboardingStep step) {
    currentStep_ = step;
    emit changed();
}

void OnboardingWizardModel::completeOnboarding() {
    services_.preferences().setHasCompletedOnboarding(true);
    emit completed();
}

OnboardingWizardModel::LeftControl OnboardingWizardModel::leftControl() const {
    switch (currentStep_) {
    case OnboardingStep::welcome: return LeftControl::skipSetup;
    case OnboardingStep::completion: return LeftControl::none;
    default: return LeftControl::back;
    }
}

QString OnboardingWizardModel::forwardTitle() const {
    if (currentStep_ == OnboardingStep::completion) return QStringLiteral("Get Started");
    if (currentStep_ == OnboardingStep::addProject && !addedProject_) return QStringLiteral("Skip");
    return QStringLiteral("Continue");
}

bool OnboardingWizardModel::isForwardEnabled() const {
    if (isBusy_) return false;
    return currentStep_ != OnboardingStep::dependencies || canProceed_;
}

bool OnboardingWizardModel::isStepReached(OnboardingStep step) const { return int(currentStep_) >= int(step); }

bool OnboardingWizardModel::isConnectionComplete(OnboardingStep step) const { return int(step) < int(currentStep_); }

} // namespace norvane::app
