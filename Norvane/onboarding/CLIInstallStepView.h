#pragma once

#include <optional>

#include <QWidget>

#include "Norvane/components/controls/FocusKeeper.h"

namespace norvane::app {

class BusyButton;
class ErrorCaption;
class OnboardingWizardModel;
class ElidedLabel;

/// The wizard's command-line tool step: what the tool is for, and where it is. Found where a
/// terminal looks, it is installed; found only beside the application, the daily agent can run it
/// and the installer offers to link it into the install bin folder, which may ask for the
/// administrator's password. The installer runs on a worker; the wizard waits for it with the
/// button spinning.
class CLIInstallStepView : public QWidget {
    Q_OBJECT
public:
    explicit CLIInstallStepView(OnboardingWizardModel& model, QWidget* parent = nullptr);

    BusyButton& installButton() const { return *install_; }
    /// The installed row; hidden until the tool is installed.
    const QWidget& installedRow() const { return *installed_; }
    /// Where the tool is when only the daily agent can run it; hidden otherwise.
    const QWidget& besideApplicationRow() const { return *besideApplication_; }
    QString shownStatus() const;
    const ErrorCaption& errorLabel() const { return *error_; }
    bool isInstalling() const { return isInstalling_; }

private:
    QWidget* makeInstallArea();
    void installCLI();
    void refresh();

    OnboardingWizardModel& model_;
    bool isInstalling_ = false;
    FocusKeeper focus_;
    std::optional<QString> errorMessage_;
    QWidget* installed_ = nullptr;
    ElidedLabel* installedText_ = nullptr;
    QWidget* besideApplication_ = nullptr;
    ElidedLabel* besideApplicationText_ = nullptr;
    QWidget* notInstalled_ = nullptr;
    BusyButton* install_ = nullptr;
    ErrorCaption* error_ = nullptr;
};

} // namespace norvane::app
