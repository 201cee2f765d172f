#include "Norvane/onboarding/OnboardingWizard.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/controls/ScrollTabStop.h"
#include "Norvane/components/controls/WindowHeightFit.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/AddFirstProjectView.h"
#include "Norvane/onboarding/CLIInstallStepView.h"
#include "Norvane/onboarding/CompletionView.h"
#include "Norvane/onboarding/DependencyCheckView.h"
#include "Norvane/onboarding/NorvaneIndexOptInView.h"
#include "Norvane/onboarding/PlainButton.h"
#include "Norvane/onboarding/SchedulingStepView.h"
#include "Norvane/onboarding/StepIndicator.h"
#include "Norvane/onboarding/WelcomeStepView.h"

namespace norvane::app {
namespace {

QWidget* makeStepView(OnboardingWizardModel& model) {
    switch (model.currentStep()) {
    case OnboardingStep::welcome: return new WelcomeStepView;
    case OnboardingStep::dependencies: return new DependencyCheckView(model);
    case OnboardingStep::cliInstall: return new CLIInstallStepView(model);
    case OnboardingStep::addProject: return new AddFirstProjectView(model);
    case OnboardingStep::scheduling: return new SchedulingStepView(model);
    case OnboardingStep::dataCollection: return new NorvaneIndexOptInView(model);
    case OnboardingStep::completion: return new CompletionView(model);
    }
    return new QWidget;
}

} // namespace

OnboardingWizard::OnboardingWizard(OnboardingServices services, QWidget& window)
    : QDialog(&window), model_(std::move(services)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Welcome to Norvane"));
    setFixedSize(wizardWidth, wizardHeight);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Palette::backgroundBase());
    setPalette(colours);

    indicator_ = new StepIndicator(model_);
    auto* indicatorRow = makeRow(0);
    indicatorRow->setContentsMargins(0, 12, 0, 12);
    indicatorRow->addWidget(indicator_, 0, Qt::AlignCenter);

    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollTabStop::follow(*scroll_);

    auto* layout = makeColumn(0);
    layout->addLayout(indicatorRow);
    layout->addWidget(new Divider);
    layout->addWidget(scroll_, 1);
    layout->addWidget(new Divider);
    layout->addWidget(makeNavigationBar());
    setLayout(layout);
    heightFit_ = new WindowHeightFit(*this, {wizardWidth, wizardHeight}, *scroll_);

    connect(&model_, &OnboardingWizardModel::changed, this, [this] {
        if (model_.currentStep() != shownStep_) showStep();
        refreshNavigation();
    });
    connect(&model_, &OnboardingWizardModel::completed, this, &QDialog::accept);
    showStep();
    refreshNavigation();
}

QWidget* OnboardingWizard::makeNavigationBar() {
    skipSetup_ = new PlainButton(QStringLiteral("Skip Setup"), Palette::textSecondary());
    skipSetup_->setToolTip(QStringLiteral("You can run this wizard again from Settings"));
    connect(skipSetup_, &QPushButton::clicked, &model_, &OnboardingWizardModel::completeOnboarding);
    back_ = new PlainButton(QStringLiteral("Back"), Palette::textPrimary());
    connect(back_, &QPushButton::clicked, &model_, &OnboardingWizardModel::goBack);
    hint_ = makeLabel(QStringLiteral("You can run this again from Settings"), TextStyle::caption, Palette::textMuted());
    forward_ = new BorderedButton(QString(), BorderedButton::Prominence::prominent);
    forward_->setAutoDefault(false);
    connect(forward_, &QPushButton::clicked, this, [this] {
        if (model_.currentStep() == OnboardingStep::completion) {
            model_.completeOnboarding();
        } else {
            model_.goNext();
        }
    });
    auto* bar = makeRow(12);
    bar->setContentsMargins(20, 12, 20, 12);
    bar->addWidget(skipSetup_);
    bar->addWidget(back_);
    bar->addStretch(1);
    bar->addWidget(hint_);
    bar->addWidget(forward_);
    return wrap(bar);
}

QWidget* OnboardingWizard::stepView() const { return scroll_->widget(); }

void OnboardingWizard::showStep() {
    shownStep_ = model_.currentStep();
    // A step opens with no control focused, not on the button that led to it, which Space would
    // press again; a step that wants its field focused takes the focus when it shows.
    FocusRing::restFocus(*this);
    // Each visit builds the step anew, so it starts from the wizard's values and runs its checks.
    delete scroll_->takeWidget();
    scroll_->setWidget(makeStepView(model_));
    heightFit_->follow(*scroll_->widget());
}

void OnboardingWizard::refreshNavigation() {
    const auto left = model_.leftControl();
    skipSetup_->setVisible(left == OnboardingWizardModel::LeftControl::skipSetup);
    back_->setVisible(left == OnboardingWizardModel::LeftControl::back);
    back_->setEnabled(model_.isBackEnabled());
    hint_->setVisible(model_.currentStep() == OnboardingStep::welcome);
    forward_->setText(model_.forwardTitle());
    forward_->setEnabled(model_.isForwardEnabled());
}

void OnboardingWizard::keyPressEvent(QKeyEvent* event) {
    // Only the wizard's own buttons end the first run.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OnboardingWizard::closeEvent(QCloseEvent* event) {
    // The window's close button skips the setup.
    model_.completeOnboarding();
    QDialog::closeEvent(event);
}

} // namespace norvane::app
