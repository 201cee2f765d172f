#pragma once

#include <QWidget>

#include <optional>

#include "Norvane/state/CommandLineTool.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace norvane::app {

class AddProjectController;
class BusyButton;
class BusyIndicator;
class ErrorCaption;
class OnboardingWizardModel;
class StyledLabel;

/// The wizard's first-project step: a folder and its name, then the progress of its first
/// collection, then the project as stored, or the collection's failure. The add itself belongs
/// to the wizard, so coming back to the step while it runs shows its progress.
class AddFirstProjectView : public QWidget {
    Q_OBJECT
public:
    enum class Display { form, progress, added, failed };

    explicit AddFirstProjectView(OnboardingWizardModel& model, QWidget* parent = nullptr);

    /// Which display the step shows: the add's progress while it runs, then its failure or the
    /// added project; the form before.
    static Display display(const AddProjectController& adder, bool hasAddedProject);
    /// How to add a project from a terminal with the tool as it is found: by its name on PATH, by
    /// its full path beside the program; none without it.
    static std::optional<QString> toolHint(const CommandLineTool::Status& tool);

    Display shownDisplay() const;
    QLineEdit& nameField() const { return *name_; }
    QLineEdit& pathField() const { return *path_; }
    QPushButton& browseButton() const { return *browse_; }
    BusyButton& addButton() const { return *add_; }
    const QWidget& gitWarning() const { return *gitWarning_; }
    const ErrorCaption& errorMessage() const { return *error_; }
    const StyledLabel& statusLabel() const { return *status_; }
    const QProgressBar& historyBar() const { return *bar_; }
    const StyledLabel& failureLabel() const { return *failure_; }
    /// The terminal's way to add projects, as shown; empty while hidden.
    QString shownToolHint() const;
    /// The added project's card: its name, path and size, line by line.
    QStringList addedCardTexts() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeForm();
    QWidget* makeFields();
    QWidget* makeProgress();
    QWidget* makeAdded();
    QWidget* makeFailure();
    void addProject();
    void refresh();
    void showAddedProject();

    OnboardingWizardModel& model_;
    AddProjectController& adder_;
    /// A refusal shows only in the visit that asked for the add.
    bool startedInThisVisit_ = false;
    QStackedWidget* displays_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QWidget* gitWarning_ = nullptr;
    ErrorCaption* error_ = nullptr;
    BusyButton* add_ = nullptr;
    StyledLabel* status_ = nullptr;
    StyledLabel* toolHint_ = nullptr;
    QProgressBar* bar_ = nullptr;
    StyledLabel* addedName_ = nullptr;
    StyledLabel* addedPath_ = nullptr;
    QWidget* sizeRow_ = nullptr;
    StyledLabel* lines_ = nullptr;
    StyledLabel* files_ = nullptr;
    StyledLabel* failureStatus_ = nullptr;
    StyledLabel* failure_ = nullptr;
};

} // namespace norvane::app
