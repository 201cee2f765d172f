#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "Norvane/onboarding/OnboardingServices.h"
#include "Norvane/onboarding/OnboardingStep.h"
#include "Norvane/sheets/AddProjectController.h"

namespace norvane::app {

/// The first-run wizard's state, which lives as long as the wizard: the step on screen, what the
/// steps found and set up, and the rules of the navigation bar. The steps are built anew at each
/// visit and keep their results here; work that outlives a visit (the dependency check, the first
/// project's add) is owned here too.
class OnboardingWizardModel : public QObject {
    Q_OBJECT

public:
    enum class LeftControl { skipSetup, back, none };

    explicit OnboardingWizardModel(OnboardingServices services, QObject* parent = nullptr);

    const OnboardingServices& services() const { return services_; }
    OnboardingStep currentStep() const { return currentStep_; }

    /// The last finished dependency check's findings; before the first, the built-in counter only.
    const DependencyCheck::Findings& dependencies() const { return dependencies_; }
    bool isCheckingDependencies() const { return isCheckingDependencies_; }
    /// Whether collection can count code: scc, or the built-in counter. True until a check says
    /// otherwise; it holds back only the dependency step.
    bool canProceed() const { return canProceed_; }
    /// The command-line tool as it was when the wizard was made, or after its install.
    const CommandLineTool::Status& cliStatus() const { return cliStatus_; }
    /// A terminal finds the tool: it runs from any directory.
    bool cliInstalled() const { return cliStatus_.reach == CommandLineTool::Reach::onPath; }
    /// Reads the tool's status from the disk again, after an install.
    void readCliStatus();
    bool schedulingEnabled() const { return schedulingEnabled_; }
    void setSchedulingEnabled(bool enabled);
    bool dataCollectionEnabled() const { return dataCollectionEnabled_; }
    void setDataCollectionEnabled(bool enabled);
    /// The first project, once its add has ended (its first collection may have failed).
    const std::optional<AddProjectController::AddedProject>& addedProject() const { return addedProject_; }
    /// The first project's add, owned here so that coming back to its step finds it running.
    AddProjectController& projectAdder() { return projectAdder_; }
    /// While a step's operation runs (the installer, the agent), the navigation waits for it.
    bool isBusy() const { return isBusy_; }
    void setBusy(bool busy);

    /// Starts a check on a worker; a check started later wins over one still running.
    void checkDependencies();
    void goNext();
    void goBack();
    /// Stores that the first run is done; the wizard then closes.
    void completeOnboarding();

    LeftControl leftControl() const;
    /// "Skip" on the project step until a project is added, "Get Started" at the end, else
    /// "Continue".
    QString forwardTitle() const;
    bool isForwardEnabled() const;
    bool isBackEnabled() const { return !isBusy_; }
    /// The step's mark is blue: it is the current step or an earlier one.
    bool isStepReached(OnboardingStep step) const;
    /// The bar after the step's mark is blue: the step is behind the current one.
    bool isConnectionComplete(OnboardingStep step) const;

signals:
    void changed();
    void completed();

private:
    void moveTo(OnboardingStep step);

    OnboardingServices services_;
    OnboardingStep currentStep_ = OnboardingStep::welcome;
    DependencyCheck::Findings dependencies_;
    bool isCheckingDependencies_ = false;
    int dependencyCheckGeneration_ = 0;
    bool canProceed_ = true;
    CommandLineTool::Status cliStatus_;
    bool schedulingEnabled_ = false;
    bool dataCollectionEnabled_ = false;
    std::optional<AddProjectController::AddedProject> addedProject_;
    AddProjectController projectAdder_;
    bool isBusy_ = false;
};

} // namespace norvane::app
