#pragma once

#include <QWidget>

#include "Norvane/onboarding/DependencyRows.h"

class QPushButton;

namespace norvane::app {

class BusyIndicator;
class CapsuleBadge;
class OnboardingWizardModel;
class StyledLabel;
class SymbolLabel;

/// The wizard's dependency step: a row for git and one for scc, and help to install scc when
/// nothing can count code. Each visit starts a check; the wizard keeps its findings.
class DependencyCheckView : public QWidget {
    Q_OBJECT
public:
    /// One tool's row.
    struct ToolRowView {
        BusyIndicator* spinner = nullptr;
        SymbolLabel* symbol = nullptr;
        CapsuleBadge* badge = nullptr;
        StyledLabel* hint = nullptr;
    };

    explicit DependencyCheckView(OnboardingWizardModel& model, QWidget* parent = nullptr);

    const ToolRowView& gitRow() const { return git_; }
    const ToolRowView& sccRow() const { return scc_; }
    const QWidget& installBox() const { return *installBox_; }
    const QWidget& checkingIndicator() const { return *checking_; }
    QPushButton& copyButton() const { return *copy_; }
    QPushButton& checkAgainButton() const { return *checkAgain_; }

private:
    QWidget* makeToolRow(ToolRowView& row, const QString& name, const QString& description);
    QWidget* makeInstallBox();
    QWidget* makeCheckingIndicator();
    void refresh();
    void showRow(ToolRowView& row, const ToolRow& look);

    OnboardingWizardModel& model_;
    ToolRowView git_;
    ToolRowView scc_;
    QWidget* installBox_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* checkAgain_ = nullptr;
    QWidget* checking_ = nullptr;
};

} // namespace norvane::app
