#pragma once

#include <QDialog>

#include "Norvane/onboarding/OnboardingWizardModel.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace norvane::app {

class StepIndicator;
class WindowHeightFit;

/// The first-run wizard: a sheet of a fixed width over the window that opened it, with the step
/// marks, the current step in a scrolling area and the navigation bar. It keeps its usual height
/// unless a step needs more, a long path over several lines. Escape never closes it; its close
/// button does what "Skip Setup" does. Finishing or skipping stores that the first run is done.
class OnboardingWizard : public QDialog {
    Q_OBJECT
public:
    static constexpr int wizardWidth = 550;
    /// The least height; a step may ask for more.
    static constexpr int wizardHeight = 520;

    OnboardingWizard(OnboardingServices services, QWidget& window);

    OnboardingWizardModel& model() { return model_; }
    /// The current step's view.
    QWidget* stepView() const;
    QPushButton& skipSetupButton() const { return *skipSetup_; }
    QPushButton& backButton() const { return *back_; }
    QPushButton& forwardButton() const { return *forward_; }
    const QLabel& setupHint() const { return *hint_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* makeNavigationBar();
    void showStep();
    void refreshNavigation();

    OnboardingWizardModel model_;
    StepIndicator* indicator_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    WindowHeightFit* heightFit_ = nullptr;
    OnboardingStep shownStep_ = OnboardingStep::welcome;
    QPushButton* skipSetup_ = nullptr;
    QPushButton* back_ = nullptr;
    QLabel* hint_ = nullptr;
    QPushButton* forward_ = nullptr;
};

} // namespace norvane::app
