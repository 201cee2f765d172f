#pragma once

#include <functional>
#include <optional>

#include <QWidget>

#include "Norvane/components/controls/FocusKeeper.h"

class QComboBox;
class QPushButton;

namespace norvane::app {

class BusyButton;
class ErrorCaption;
class LaunchdManager;
class OnboardingWizardModel;
class ElidedLabel;

/// The wizard's scheduling step: the daily agent that runs "norvane collect" at a chosen hour,
/// installed or removed through the agent manager on a worker. Each visit starts from the agent
/// that is installed; a failure shows its message in either state.
class SchedulingStepView : public QWidget {
    Q_OBJECT
public:
    explicit SchedulingStepView(OnboardingWizardModel& model, QWidget* parent = nullptr);

    /// "Enabled - runs daily at 2:00 AM".
    static QString enabledText(int hour);

    int collectionHour() const { return collectionHour_; }
    QComboBox& hourPicker() const { return *hourPicker_; }
    BusyButton& enableButton() const { return *enable_; }
    QPushButton& disableButton() const { return *disable_; }
    const ElidedLabel& statusText() const { return *status_; }
    /// The enabled state's box and button; hidden in the set-up state.
    const QWidget& enabledBlock() const { return *enabledBlock_; }
    const QWidget& toolRequiredLabel() const { return *toolRequired_; }
    /// The error of the state shown; empty without one.
    QString errorText() const;
    bool isWorking() const { return isWorking_; }

private:
    QWidget* makeEnabledBlock();
    QWidget* makeSetupBlock();
    void refreshStatus();
    void enableScheduling();
    void disableScheduling();
    /// Runs `operation` on the worker; `succeeded` follows on this thread, or the error shows.
    void runAgentOperation(std::function<void(const LaunchdManager&)> operation, std::function<void()> succeeded);
    void refresh();

    OnboardingWizardModel& model_;
    int collectionHour_ = 2;
    bool isWorking_ = false;
    FocusKeeper focus_;
    bool isEnabling_ = false;
    std::optional<QString> errorMessage_;
    QWidget* enabledBlock_ = nullptr;
    ElidedLabel* status_ = nullptr;
    QPushButton* disable_ = nullptr;
    ErrorCaption* enabledError_ = nullptr;
    QWidget* setupBlock_ = nullptr;
    QComboBox* hourPicker_ = nullptr;
    BusyButton* enable_ = nullptr;
    QWidget* toolRequired_ = nullptr;
    ErrorCaption* setupError_ = nullptr;
};

} // namespace norvane::app
