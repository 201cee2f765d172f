#include "Norvane/onboarding/CLIInstallStepView.h"

#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/StepLayout.h"
#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {
namespace {

constexpr int installButtonWidth = 150;

QWidget* makeToolFeatures() {
    auto* features = makeColumn(12);
    features->addWidget(StepLayout::makeFeatureRow(QStringLiteral("chevron.left.forwardslash.chevron.right"),
                                                   QStringLiteral("Run 'norvane collect' from any directory")));
    features->addWidget(
        StepLayout::makeFeatureRow(QStringLiteral("clock"), QStringLiteral("Enable automatic daily collection")));
    features->addWidget(
        StepLayout::makeFeatureRow(QStringLiteral("gearshape.2"), QStringLiteral("Integrate with your dev workflow")));
    auto* holder = StepLayout::padded(features, 60);
    features->setContentsMargins(60, 10, 60, 0);
    return holder;
}

/// Where the tool is when only the daily agent can run it: a caption, so that the step keeps its
/// height with a failure under the button too; a long path wraps.
QWidget* makeBesideApplicationRow(ElidedLabel** label) {
    auto* row = makeRow(4);
    row->addStretch(1);
    row->addWidget(makeSymbol(QStringLiteral("info.circle"), TextStyle::caption, Palette::blue()));
    *label = new ElidedLabel(Typography::font(TextStyle::caption), Palette::textSecondary(), ElidedLabel::everyLine);
    row->addWidget(*label);
    row->addStretch(1);
    return wrap(row);
}

} // namespace

CLIInstallStepView::CLIInstallStepView(OnboardingWizardModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* column = StepLayout::makeStepColumn(*this, 24);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("terminal"), Palette::blue()), 0, Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Command Line Tool"), TextStyle::title,
                                                  Palette::textPrimary(), QFont::Bold));
    auto* summary =
        StepLayout::makeCentredText(QStringLiteral("Use Norvane from your terminal for scripting and automation"),
                                    TextStyle::subheadline, Palette::textSecondary());
    summary->setContentsMargins(40, 0, 40, 0);
    column->addWidget(summary);
    column->addWidget(makeToolFeatures(), 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(makeInstallArea());
    column->addStretch(1);
    connect(&model_, &OnboardingWizardModel::changed, this, &CLIInstallStepView::refresh);
    refresh();
}

QWidget* CLIInstallStepView::makeInstallArea() {
    installed_ = StepLayout::makeStatusBox(QString(), &installedText_);
    besideApplication_ = makeBesideApplicationRow(&besideApplicationText_);
    install_ =
        new BusyButton(QStringLiteral("Install CLI"), installButtonWidth, QStringLiteral("square.and.arrow.down"));
    connect(install_, &QPushButton::clicked, this, &CLIInstallStepView::installCLI);
    error_ = new ErrorCaption;
    auto* choices = makeColumn(12);
    choices->addWidget(besideApplication_, 0, Qt::AlignHCenter);
    choices->addWidget(install_, 0, Qt::AlignHCenter);
    choices->addWidget(error_);
    choices->addWidget(StepLayout::makeCentredText(QStringLiteral("You can skip this and install later from Settings"),
                                                   TextStyle::caption, Palette::textSecondary()));
    notInstalled_ = wrap(choices);

    auto* area = makeColumn(0);
    area->addWidget(installed_, 0, Qt::AlignHCenter);
    area->addWidget(notInstalled_);
    return wrap(area);
}

void CLIInstallStepView::installCLI() {
    isInstalling_ = true;
    errorMessage_.reset();
    focus_.hold(*this);
    model_.setBusy(true);
    runInBackground<CLIInstaller::InstallResult>(
        this, [installer = model_.services().installer] { return installer->install(); },
        [this](std::optional<CLIInstaller::InstallResult> result, const QString& failure) {
            isInstalling_ = false;
            if (!result) {
                errorMessage_ = failure;
            } else if (!result->succeeded()) {
                // A dismissed password dialog has no description: it shows nothing.
                if (const auto text = result->error().errorDescription()) errorMessage_ = QString::fromStdString(*text);
            }
            if (result && result->succeeded()) model_.readCliStatus();
            model_.setBusy(false);
            focus_.giveBack();
        });
    refresh();
}

void CLIInstallStepView::refresh() {
    const auto& tool = model_.cliStatus();
    const auto path = QString::fromStdString(tool.path.string());
    installed_->setVisible(model_.cliInstalled());
    installedText_->setText(QStringLiteral("Installed at ") + path);
    notInstalled_->setVisible(!model_.cliInstalled());
    // The daily agent can run it already; the install puts it where a terminal finds it.
    besideApplication_->setVisible(tool.reach == CommandLineTool::Reach::besideApplication);
    besideApplicationText_->setText(QStringLiteral("Not on PATH: ") + path);
    install_->setBusy(isInstalling_);
    install_->setEnabled(!isInstalling_);
    error_->setMessage(errorMessage_);
}

QString CLIInstallStepView::shownStatus() const {
    if (!installed_->isHidden()) return installedText_->text();
    if (!besideApplication_->isHidden()) return besideApplicationText_->text();
    return {};
}

} // namespace norvane::app
