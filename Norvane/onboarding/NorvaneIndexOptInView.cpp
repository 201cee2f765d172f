#include "Norvane/onboarding/NorvaneIndexOptInView.h"

#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/PlainButton.h"
#include "Norvane/onboarding/StepLayout.h"
#include "platform/Uuid.h"

namespace norvane::app {
namespace {

constexpr int optInButtonWidth = 160;
// Tighter than the other steps: with the privacy lists this step has the most to show in the
// wizard's fixed height.
constexpr int optInStepSpacing = 12;

QWidget* makeHeading(const QString& symbol, const QColor& color, const QString& text) {
    auto* row = makeRow(defaultSpacing);
    row->addWidget(makeSymbol(symbol, TextStyle::subheadline, color));
    row->addWidget(makeLabel(text, TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    row->addStretch(1);
    return wrap(row);
}

/// A heading over its list of items.
QVBoxLayout* makeList(QWidget* heading, const QStringList& texts) {
    auto* items = makeColumn(4);
    items->setContentsMargins(28, 0, 0, 0);
    for (const auto& text : texts) {
        auto* row = makeRow(6);
        row->addWidget(makeLabel(QStringLiteral("\u2022"), TextStyle::caption, Palette::textMuted()));
        row->addWidget(makeLabel(text, TextStyle::caption, Palette::textSecondary()));
        row->addStretch(1);
        items->addLayout(row);
    }
    auto* list = makeColumn(8);
    list->addWidget(heading);
    list->addLayout(items);
    list->addStretch(1);
    return list;
}

/// A benefit as a small column: its symbol over its title over its description.
QWidget* makeBenefit(const QString& symbol, const QString& title, const QString& description) {
    auto* column = makeColumn(2);
    column->addWidget(makeSymbol(symbol, TextStyle::body, Palette::blue()), 0, Qt::AlignHCenter);
    column->addSpacing(2);
    column->addWidget(
        StepLayout::makeCentredText(title, TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    column->addWidget(StepLayout::makeCentredText(description, TextStyle::caption, Palette::textSecondary()));
    column->addStretch(1);
    return wrap(column);
}

} // namespace

NorvaneIndexOptInView::NorvaneIndexOptInView(OnboardingWizardModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* column = StepLayout::makeStepColumn(*this, optInStepSpacing);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("chart.bar.doc.horizontal"), Palette::blue()), 0,
                      Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Norvane Index"), TextStyle::title,
                                                  Palette::textPrimary(), QFont::Bold));
    auto* summary = StepLayout::makeCentredText(
        QStringLiteral("See how your productivity compares to other AI-assisted developers"), TextStyle::subheadline,
        Palette::textSecondary());
    summary->setContentsMargins(40, 0, 40, 0);
    column->addWidget(summary);
    column->addWidget(makeBenefits());
    column->addStretch(1);
    column->addWidget(makePrivacyBox());
    column->addStretch(1);
    column->addWidget(makeJoinedBlock());
    column->addWidget(makeNotJoinedBlock());
    column->addStretch(1);

    connect(&model_, &OnboardingWizardModel::changed, this, &NorvaneIndexOptInView::refresh);
    // A choice made earlier, here or in the settings, shows as it stands.
    model_.setDataCollectionEnabled(model_.services().preferences().shareAnonymousMetrics());
}

QWidget* NorvaneIndexOptInView::makeBenefits() {
    // Side by side rather than one under the other: the privacy lists need the height.
    auto* benefits = makeRow(12);
    benefits->addWidget(makeBenefit(QStringLiteral("percent"), QStringLiteral("Percentile Rankings"),
                                    QStringLiteral("See where you stand vs. the community")),
                        1);
    benefits->addWidget(makeBenefit(QStringLiteral("arrow.up.right"), QStringLiteral("Track Improvement"),
                                    QStringLiteral("Watch your ranking improve over time")),
                        1);
    benefits->addWidget(makeBenefit(QStringLiteral("person.3"), QStringLiteral("Help the Community"),
                                    QStringLiteral("Your data helps build better benchmarks")),
                        1);
    return wrap(benefits);
}

QWidget* NorvaneIndexOptInView::makePrivacyBox() {
    // What is collected beside what never is, so that both lists fit the wizard's height.
    auto* box = new RoundedPanel(
        RoundedPanel::box(QBrush(Palette::backgroundRaised()), RoundedPanel::defaultPadding, Qt::Horizontal, 16));
    auto* content = box->contentLayout();
    content->addLayout(makeList(makeHeading(QStringLiteral("lock.shield"), Palette::green(),
                                            QStringLiteral("What we collect (all anonymous):")),
                                {QStringLiteral("Daily lines changed (totals only)"),
                                 QStringLiteral("Output composition (% code/docs/tests)"),
                                 QStringLiteral("Project size bucket (e.g., 'Medium')"),
                                 QStringLiteral("Random device ID (generated locally)")}));
    content->addLayout(
        makeList(makeHeading(QStringLiteral("xmark.shield"), Palette::red(), QStringLiteral("Never collected:")),
                 {QStringLiteral("Project names, paths, or code"), QStringLiteral("Git commits, messages, or authors"),
                  QStringLiteral("Personal or identifying information")}));
    return box;
}

QWidget* NorvaneIndexOptInView::makeJoinedBlock() {
    optOut_ = new PlainButton(QStringLiteral("Opt Out"), Palette::textSecondary());
    connect(optOut_, &QPushButton::clicked, this, &NorvaneIndexOptInView::optOut);
    // The way out beside the status, so that joining makes the step no taller.
    auto* block = makeRow(optInStepSpacing);
    block->addStretch(1);
    block->addWidget(StepLayout::makeStatusBox(QStringLiteral("You're contributing to the Norvane Index!")));
    block->addWidget(optOut_);
    block->addStretch(1);
    joined_ = wrap(block);
    return joined_;
}

QWidget* NorvaneIndexOptInView::makeNotJoinedBlock() {
    enable_ = new BorderedButton(QStringLiteral("Enable Norvane Index"), BorderedButton::Prominence::prominent);
    enable_->setFixedWidth(optInButtonWidth);
    enable_->setAutoDefault(false);
    connect(enable_, &QPushButton::clicked, this, &NorvaneIndexOptInView::enableIndex);
    auto* block = makeColumn(optInStepSpacing);
    block->addWidget(enable_, 0, Qt::AlignHCenter);
    block->addWidget(StepLayout::makeCentredText(QStringLiteral("You can change this anytime in Settings"),
                                                 TextStyle::caption, Palette::textSecondary()));
    notJoined_ = wrap(block);
    return notJoined_;
}

void NorvaneIndexOptInView::enableIndex() {
    auto& preferences = model_.services().preferences();
    // Joining again keeps the id of an earlier time.
    if (preferences.anonymousDeviceId().isEmpty()) {
        preferences.setAnonymousDeviceId(QString::fromStdString(platform::Uuid::random().toString()));
    }
    preferences.setShareAnonymousMetrics(true);
    model_.setDataCollectionEnabled(true);
}

void NorvaneIndexOptInView::optOut() {
    model_.services().preferences().setShareAnonymousMetrics(false);
    model_.setDataCollectionEnabled(false);
}

void NorvaneIndexOptInView::refresh() {
    joined_->setVisible(model_.dataCollectionEnabled());
    notJoined_->setVisible(!model_.dataCollectionEnabled());
}

} // namespace norvane::app
