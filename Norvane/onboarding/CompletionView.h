#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QString>
#include <QWidget>

#include "Norvane/state/CommandLineTool.h"

namespace norvane::app {

class OnboardingWizardModel;

/// The wizard's last step: what this run set up, and what comes next. It reads the wizard's values
/// as they are when it is shown.
class CompletionView : public QWidget {
    Q_OBJECT
public:
    /// One line of the summary.
    struct SummaryRow {
        QString symbol;
        QColor symbolColor;
        QString label;
        QString value;
        bool operator==(const SummaryRow&) const = default;
    };

    explicit CompletionView(const OnboardingWizardModel& model, QWidget* parent = nullptr);

    /// The project (when one was added), the tool, the daily collection and the benchmark.
    static std::vector<SummaryRow> summary(const std::optional<QString>& projectName, CommandLineTool::Reach cli,
                                           bool schedulingEnabled, bool dataCollectionEnabled);
    static QString nextStepsText(bool hasProject);
};

} // namespace norvane::app
