#include "Norvane/onboarding/CompletionView.h"

#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/StepLayout.h"

namespace norvane::app {
namespace {

constexpr int symbolFrame = 24;

CompletionView::SummaryRow flagRow(bool on, const QString& symbol, const QString& label, const QString& onValue,
                                   const QString& offValue) {
    return {on ? symbol + QStringLiteral(".fill") : symbol, on ? Palette::green() : Palette::textMuted(), label,
            on ? onValue : offValue};
}

QWidget* makeRowWidget(const CompletionView::SummaryRow& line) {
    auto* symbol = makeSymbol(line.symbol, TextStyle::subheadline, line.symbolColor);
    symbol->setFixedWidth(symbolFrame);
    auto* row = makeRow(12);
    row->addWidget(symbol);
    row->addWidget(makeLabel(line.label, TextStyle::subheadline, Palette::textPrimary()));
    row->addStretch(1);
    row->addWidget(makeLabel(line.value, TextStyle::subheadline, Palette::textSecondary()));
    return wrap(row);
}

} // namespace

CompletionView::CompletionView(const OnboardingWizardModel& model, QWidget* parent) : QWidget(parent) {
    const auto& added = model.addedProject();
    auto* box = new RoundedPanel(
        RoundedPanel::box(QBrush(Palette::backgroundRaised()), RoundedPanel::defaultPadding, Qt::Vertical, 12));
    for (const auto& line : summary(added ? std::optional(added->name) : std::nullopt, model.cliStatus().reach,
                                    model.schedulingEnabled(), model.dataCollectionEnabled())) {
        box->contentLayout()->addWidget(makeRowWidget(line));
    }
    auto* boxRow = makeRow(0);
    boxRow->setContentsMargins(60, 0, 60, 0);
    boxRow->addWidget(box);

    auto* next = makeColumn(8);
    next->setContentsMargins(40, 0, 40, 0);
    next->addWidget(
        StepLayout::makeCentredText(QStringLiteral("What's Next?"), TextStyle::headline, Palette::textPrimary()));
    next->addWidget(StepLayout::makeCentredText(nextStepsText(added.has_value()), TextStyle::subheadline,
                                                Palette::textSecondary()));

    auto* column = StepLayout::makeStepColumn(*this, 24);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("checkmark.seal.fill"), Palette::green(), 64), 0,
                      Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("You're All Set!"), TextStyle::largeTitle,
                                                  Palette::textPrimary(), QFont::Bold));
    column->addWidget(
        StepLayout::makeCentredText(QStringLiteral("Norvane is ready to track your development productivity"),
                                    TextStyle::subheadline, Palette::textSecondary()));
    column->addLayout(boxRow);
    column->addLayout(next);
    column->addStretch(1);
}

std::vector<CompletionView::SummaryRow> CompletionView::summary(const std::optional<QString>& projectName,
                                                                CommandLineTool::Reach cli, bool schedulingEnabled,
                                                                bool dataCollectionEnabled) {
    std::vector<SummaryRow> rows;
    if (projectName) {
        rows.push_back({QStringLiteral("folder.fill"), Palette::blue(), QStringLiteral("Project Added"), *projectName});
    }
    const auto notEnabled = QStringLiteral("Not enabled");
    // Beside the application only, the daily agent runs it but a terminal does not find it.
    rows.push_back(flagRow(cli == CommandLineTool::Reach::onPath, QStringLiteral("terminal"),
                           QStringLiteral("CLI Tool"), QStringLiteral("Installed"),
                           cli == CommandLineTool::Reach::besideApplication ? QStringLiteral("Not on PATH")
                                                                            : QStringLiteral("Not installed")));
    rows.push_back(flagRow(schedulingEnabled, QStringLiteral("clock"), QStringLiteral("Daily Collection"),
                           QStringLiteral("Enabled"), notEnabled));
    rows.push_back(flagRow(dataCollectionEnabled, QStringLiteral("chart.bar.doc.horizontal"),
                           QStringLiteral("Norvane Index"), QStringLiteral("Contributing"), notEnabled));
    return rows;
}

QString CompletionView::nextStepsText(bool hasProject) {
    return hasProject ? QStringLiteral("Your dashboard is ready with your first project's metrics!")
                      : QStringLiteral("Add a project from the dashboard to start tracking");
}

} // namespace norvane::app
