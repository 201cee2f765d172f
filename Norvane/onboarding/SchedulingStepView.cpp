#include "Norvane/onboarding/SchedulingStepView.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/PlainButton.h"
#include "Norvane/onboarding/StepLayout.h"
#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {
namespace {

constexpr int pickerWidth = 120;
constexpr int enableButtonWidth = 180;
// Close enough that the set-up block with its notes and a failure of three lines fits the
// wizard's fixed height.
constexpr int stepSpacing = 12;
constexpr int featureSpacing = 12;

QWidget* makeSchedulingFeatures() {
    auto* features = makeColumn(featureSpacing);
    features->addWidget(
        StepLayout::makeFeatureRow(QStringLiteral("moon.stars"), QStringLiteral("Runs daily while you sleep")));
    features->addWidget(
        StepLayout::makeFeatureRow(QStringLiteral("bolt"), QStringLiteral("Analyzes all your projects")));
    features->addWidget(StepLayout::makeFeatureRow(QStringLiteral("chart.line.uptrend.xyaxis"),
                                                   QStringLiteral("Keeps charts and metrics current")));
    return StepLayout::padded(features, 60);
}

} // namespace

SchedulingStepView::SchedulingStepView(OnboardingWizardModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* column = StepLayout::makeStepColumn(*this, stepSpacing);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("clock.arrow.2.circlepath"), Palette::blue()), 0,
                      Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Automatic Collection"), TextStyle::title,
                                                  Palette::textPrimary(), QFont::Bold));
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Keep your metrics up to date automatically"),
                                                  TextStyle::subheadline, Palette::textSecondary()));
    column->addWidget(makeSchedulingFeatures(), 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(makeEnabledBlock());
    column->addWidget(makeSetupBlock());
    column->addStretch(1);
    connect(&model_, &OnboardingWizardModel::changed, this, &SchedulingStepView::refresh);
    refreshStatus();
}

QString SchedulingStepView::enabledText(int hour) {
    return QStringLiteral("Enabled - runs daily at ") + DateText::hourOfDay(hour);
}

QWidget* SchedulingStepView::makeEnabledBlock() {
    auto* box = StepLayout::makeStatusBox(QString(), &status_);
    disable_ = new PlainButton(QStringLiteral("Disable"), Palette::textSecondary());
    connect(disable_, &QPushButton::clicked, this, &SchedulingStepView::disableScheduling);
    enabledError_ = new ErrorCaption;
    auto* disabling = makeColumn(defaultSpacing);
    disabling->addWidget(disable_, 0, Qt::AlignHCenter);
    disabling->addWidget(enabledError_);
    auto* block = makeColumn(stepSpacing);
    block->addWidget(box, 0, Qt::AlignHCenter);
    block->addLayout(disabling);
    enabledBlock_ = wrap(block);
    return enabledBlock_;
}

QWidget* SchedulingStepView::makeSetupBlock() {
    hourPicker_ = new QComboBox;
    for (int hour = 0; hour < 24; ++hour) hourPicker_->addItem(DateText::hourOfDay(hour), hour);
    hourPicker_->setFixedWidth(pickerWidth);
    connect(hourPicker_, &QComboBox::activated, this, [this](int index) { collectionHour_ = index; });
    auto* time = makeRow(defaultSpacing);
    time->addStretch(1);
    time->addWidget(makeLabel(QStringLiteral("Collection time:"), TextStyle::body, Palette::textSecondary()));
    time->addWidget(hourPicker_);
    time->addStretch(1);

    enable_ = new BusyButton(QStringLiteral("Enable Daily Collection"), enableButtonWidth);
    connect(enable_, &QPushButton::clicked, this, &SchedulingStepView::enableScheduling);
    auto* required = makeRow(4);
    required->addWidget(makeSymbol(QStringLiteral("info.circle"), TextStyle::caption, Palette::amber()));
    required->addWidget(
        makeLabel(QStringLiteral("CLI tool required for background collection"), TextStyle::caption, Palette::amber()));
    toolRequired_ = wrap(required);
    setupError_ = new ErrorCaption;

    auto* block = makeColumn(stepSpacing);
    block->addLayout(time);
    block->addWidget(enable_, 0, Qt::AlignHCenter);
    block->addWidget(toolRequired_, 0, Qt::AlignHCenter);
    block->addWidget(setupError_);
    block->addWidget(StepLayout::makeCentredText(QStringLiteral("You can skip this and enable later in Settings"),
                                                 TextStyle::caption, Palette::textSecondary()));
    setupBlock_ = wrap(block);
    return setupBlock_;
}

void SchedulingStepView::refreshStatus() {
    const auto& agent = *model_.services().agent;
    if (const auto schedule = agent.installedSchedule()) collectionHour_ = schedule->hour;
    model_.setSchedulingEnabled(agent.isInstalled());
    refresh();
}

void SchedulingStepView::enableScheduling() {
    errorMessage_.reset();
    isEnabling_ = true;
    const int hour = collectionHour_;
    runAgentOperation([hour](const LaunchdManager& agent) { agent.install(hour, 0); },
                      [this] { model_.setSchedulingEnabled(true); });
}

void SchedulingStepView::disableScheduling() {
    runAgentOperation([](const LaunchdManager& agent) { agent.uninstall(); },
                      [this] { model_.setSchedulingEnabled(false); });
}

void SchedulingStepView::runAgentOperation(std::function<void(const LaunchdManager&)> operation,
                                           std::function<void()> succeeded) {
    isWorking_ = true;
    focus_.hold(*this);
    model_.setBusy(true);
    runInBackground<bool>(
        this,
        [agent = model_.services().agent, operation = std::move(operation)] {
            operation(*agent);
            return true;
        },
        [this, succeeded = std::move(succeeded)](std::optional<bool> done, const QString& error) {
            isWorking_ = false;
            isEnabling_ = false;
            if (done) {
                succeeded();
            } else {
                errorMessage_ = error;
            }
            model_.setBusy(false);
            focus_.giveBack();
        });
}

void SchedulingStepView::refresh() {
    const bool enabled = model_.schedulingEnabled();
    enabledBlock_->setVisible(enabled);
    setupBlock_->setVisible(!enabled);
    status_->setText(enabledText(collectionHour_));
    disable_->setEnabled(!isWorking_);
    hourPicker_->setCurrentIndex(collectionHour_);
    hourPicker_->setEnabled(!isWorking_);
    // The tool may come or go while the step is open; look again each time.
    const bool toolReady = model_.services().tool.find().has_value();
    enable_->setBusy(isEnabling_);
    enable_->setEnabled(!isWorking_ && toolReady);
    toolRequired_->setVisible(!toolReady);
    enabledError_->setMessage(errorMessage_);
    setupError_->setMessage(errorMessage_);
}

QString SchedulingStepView::errorText() const {
    const auto* shown = model_.schedulingEnabled() ? enabledError_ : setupError_;
    return shown->isHidden() ? QString() : shown->text();
}

} // namespace norvane::app
