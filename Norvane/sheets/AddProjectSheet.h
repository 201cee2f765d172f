#pragma once

#include "Norvane/sheets/AddProjectController.h"
#include "Norvane/sheets/Sheet.h"

class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace norvane::app {

class BusyIndicator;
class ElidedLabel;
class OceanSegmentedPicker;
class ProgressTrack;
class StyledLabel;
class SymbolLabel;

/// The sheet that registers a project folder: the form with its path warning and COCOMO type,
/// then the progress of the first collection. It closes itself after a successful collection;
/// after a failed one it stays open with the error, the project registered.
class AddProjectSheet : public Sheet {
    Q_OBJECT

public:
    explicit AddProjectSheet(AppState& appState, QWidget* parent = nullptr);

    const AddProjectController& controller() const { return controller_; }
    QLineEdit& nameField() const { return *name_; }
    QLineEdit& pathField() const { return *path_; }
    QLineEdit& descriptionField() const { return *description_; }
    OceanSegmentedPicker& typePicker() const { return *type_; }
    QPushButton& addButton() const { return *add_; }
    QPushButton& browseButton() const { return *browse_; }
    QToolButton& closeButton() const { return *close_; }
    /// The path warning; hidden without one.
    const QWidget& pathWarning() const { return *warning_; }
    const StyledLabel& pathWarningLabel() const { return *warningText_; }
    /// The red section of a refused registration; hidden without one.
    const QWidget& errorSection() const { return *error_; }
    const ElidedLabel& errorLabel() const { return *errorText_; }
    bool showsProgress() const;
    const StyledLabel& statusLabel() const { return *status_; }
    const ProgressTrack& historyBar() const { return *bar_; }
    const StyledLabel& historyCount() const { return *count_; }
    /// What follows a failed first collection: that the project is registered, and a Close button.
    const QWidget& failureSection() const { return *failure_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeForm();
    QWidget* makeFormSections();
    QWidget* makeFooter();
    QWidget* makeProgress();
    void startAdd();
    void showPathWarning();
    void showState();
    void showProgress();

    AddProjectController controller_;
    QToolButton* close_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLineEdit* description_ = nullptr;
    QPushButton* browse_ = nullptr;
    QWidget* warning_ = nullptr;
    SymbolLabel* warningSymbol_ = nullptr;
    StyledLabel* warningText_ = nullptr;
    OceanSegmentedPicker* type_ = nullptr;
    StyledLabel* typeDescription_ = nullptr;
    QWidget* error_ = nullptr;
    ElidedLabel* errorText_ = nullptr;
    QPushButton* add_ = nullptr;
    BusyIndicator* addSpinner_ = nullptr;
    BusyIndicator* spinner_ = nullptr;
    SymbolLabel* failureSymbol_ = nullptr;
    StyledLabel* status_ = nullptr;
    QWidget* history_ = nullptr;
    ProgressTrack* bar_ = nullptr;
    StyledLabel* count_ = nullptr;
    QWidget* failure_ = nullptr;
    StyledLabel* failureText_ = nullptr;
};

} // namespace norvane::app
