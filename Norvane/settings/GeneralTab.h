#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "Norvane/components/controls/FocusKeeper.h"
#include "Norvane/settings/SettingsServices.h"
#include "platform/Date.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace norvane::app {

class CaptionMessage;
class FormSection;
class GroupedForm;
class ElidedLabel;
class StyledLabel;
class SymbolLabel;

/// The settings window's first tab: the command-line tool's status, the daily background collection
/// with its hour and the age of the last collection, the default chart range, and the way back
/// into the setup wizard. The installer and the agent run on a worker; their controls wait
/// disabled until the result is back.
class GeneralTab : public QWidget {
    Q_OBJECT
public:
    /// What the window read from the disk when it was made.
    struct InitialState {
        bool launchdEnabled = false;
        int collectionHour = 2;
    };

    struct ChartRange {
        QString title;
        int days;
    };

    GeneralTab(const SettingsServices& services, InitialState initial, QWidget* parent = nullptr);

    /// The default chart range's choices, in order.
    static const std::vector<ChartRange>& chartRanges();
    /// "Installed at PATH" once a terminal finds it, "Not on PATH: PATH" where only the daily agent
    /// can run it, else "Not installed".
    static QString toolStatusText(const CommandLineTool::Status& tool);
    static QString backgroundCollectionFooter(bool toolInstalled);
    /// The capture date of the newest snapshot, of either type, of a project that is not archived.
    static std::optional<platform::Date> lastCollectionDate(const NorvaneStore& store);

    QPushButton& toolButton() const { return *toolButton_; }
    QCheckBox& backgroundToggle() const { return *toggle_; }
    QComboBox& collectionTimePicker() const { return *hourPicker_; }
    QComboBox& chartRangePicker() const { return *chartRange_; }
    QPushButton& setupWizardButton() const { return *setupButton_; }
    const CaptionMessage& toolError() const { return *toolError_; }
    const CaptionMessage& agentError() const { return *agentError_; }
    QString toolStatus() const;
    /// "Last collection: 5 minutes ago", or empty while the row is hidden.
    QString lastCollectionText() const;
    QString backgroundFooter() const;
    bool isBusy() const { return isInstallingCLI_ || isAgentBusy_; }
    GroupedForm& form() const { return *form_; }

signals:
    /// "Run Setup Wizard Again": the completion flag is already set back.
    void setupWizardRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildToolSection(FormSection& section);
    void buildBackgroundSection(FormSection& section);
    void buildDisplaySection(FormSection& section);
    void buildSetupSection(FormSection& section);
    void runCLIAction(bool install);
    void backgroundCollectionToggled(bool enabled);
    void collectionHourChanged(int hour);
    /// Runs an agent operation on the worker; a failure shows its message and hands the toggle's
    /// value to `restore` for putting back.
    void runAgentOperation(std::function<void(const LaunchdManager&)> operation, std::function<void()> restore);
    void loadLastCollectionDate();
    void refresh();

    SettingsServices services_;
    bool launchdEnabled_;
    int collectionHour_;
    bool isInstallingCLI_ = false;
    bool isAgentBusy_ = false;
    FocusKeeper focus_;
    std::optional<platform::Date> lastScheduledCollection_;
    int lastCollectionGeneration_ = 0;
    // While shown: the age of the last collection moves on, and the tool's file is looked at again.
    QTimer ticker_;

    GroupedForm* form_ = nullptr;
    SymbolLabel* toolSymbol_ = nullptr;
    ElidedLabel* toolStatus_ = nullptr;
    QPushButton* toolButton_ = nullptr;
    CaptionMessage* toolError_ = nullptr;
    FormSection* backgroundSection_ = nullptr;
    QCheckBox* toggle_ = nullptr;
    QWidget* hourRow_ = nullptr;
    QComboBox* hourPicker_ = nullptr;
    QWidget* lastCollectionRow_ = nullptr;
    StyledLabel* lastCollectionAge_ = nullptr;
    CaptionMessage* agentError_ = nullptr;
    QComboBox* chartRange_ = nullptr;
    QPushButton* setupButton_ = nullptr;
};

} // namespace norvane::app
