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
#include "platform/persistence/Uuid.h"

namespace norvane::app {
namespace {

constexpr int enableButtonWidth = 160;

QWidget* makeHeading(const QString& symbol, const QColor& color, const QString& text) {
    auto* row = makeRow(defaultSpacing);
    row->addWidget(makeSymbol(symbol, TextStyle::subheadline, color));
    row->addWidget(makeLabel(text, TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    row->addStretch(1);
    return wrap(row);
}

QVBoxLayout* makeItems(const QStringList& texts) {
    auto* items = makeColumn(4);
    items->setContentsMargins(28, 0, 0, 0);
    for (const auto& text : texts) {
        auto* row = makeRow(6);
        row->addWidget(makeLabel(QStringLiteral("\u2022"), TextStyle::caption, Palette::textMuted()));
        row->addWidget(makeLabel(text, TextStyle::caption, Palette::textSecondary()));
        row->addStretch(1);
        items->addLayout(row);
    }
    return items;
}

} // namespace

NorvaneIndexOptInView::NorvaneIndexOptInView(OnboardingWizardModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* column = StepLayout::makeStepColumn(*this, 20);
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
    column->addWidget(makeBenefits(), 0, Qt::AlignHCenter);
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
    const StepLayout::DetailLook look{TextStyle::body, 24, 12, Typography::font(TextStyle::subheadline, QFont::Medium),
                                      TextStyle::caption};
    auto* benefits = makeColumn(12);
    benefits->addWidget(StepLayout::makeDetailRow(QStringLiteral("percent"), QStringLiteral("Percentile Rankings"),
                                                  QStringLiteral("See where you stand vs. the community"), look));
    benefits->addWidget(StepLayout::makeDetailRow(QStringLiteral("arrow.up.right"), QStringLiteral("Track Improvement"),
                                                  QStringLiteral("Watch your ranking improve over time"), look));
    benefits->addWidget(StepLayout::makeDetailRow(QStringLiteral("person.3"), QStringLiteral("Help the Community"),
                                                  QStringLiteral("Your data helps build better benchmarks"), look));
    return StepLayout::padded(benefits, 40);
}

QWidget* NorvaneIndexOptInView::makePrivacyBox() {
    auto* box = new RoundedPanel(
        RoundedPanel::box(QBrush(Palette::backgroundRaised()), RoundedPanel::defaultPadding, Qt::Vertical, 8));
    auto* content = box->contentLayout();
    content->addWidget(makeHeading(QStringLiteral("lock.shield"), Palette::green(),
                                   QStringLiteral("What we collect (all anonymous):")));
    content->addLayout(makeItems({QStringLiteral("Daily lines changed (totals only)"),
                                  QStringLiteral("Output composition (% code/docs/tests)"),
                                  QStringLiteral("Project size bucket (e.g., 'Medium')"),
                                  QStringLiteral("Random device ID (generated locally)")}));
    auto* never = makeHeading(QStringLiteral("xmark.shield"), Palette::red(), QStringLiteral("Never collected:"));
    never->layout()->setContentsMargins(0, 4, 0, 0);
    content->addWidget(never);
    content->addLayout(
        makeItems({QStringLiteral("Project names, paths, or code"), QStringLiteral("Git commits, messages, or authors"),
                   QStringLiteral("Personal or identifying information")}));
    auto* row = makeRow(0);
    row->setContentsMargins(40, 0, 40, 0);
    row->addWidget(box);
    return wrap(row);
}

QWidget* NorvaneIndexOptInView::makeJoinedBlock() {
    optOut_ = new PlainButton(QStringLiteral("Opt Out"), Palette::textSecondary());
    connect(optOut_, &QPushButton::clicked, this, &NorvaneIndexOptInView::optOut);
    auto* block = makeColumn(20);
    block->addWidget(StepLayout::makeStatusBox(QStringLiteral("You're contributing to the Norvane Index!")), 0,
                     Qt::AlignHCenter);
    block->addWidget(optOut_, 0, Qt::AlignHCenter);
    joined_ = wrap(block);
    return joined_;
}

QWidget* NorvaneIndexOptInView::makeNotJoinedBlock() {
    enable_ = new BorderedButton(QStringLiteral("Enable Norvane Index"), BorderedButton::Prominence::prominent);
    enable_->setFixedWidth(enableButtonWidth);
    enable_->setAutoDefault(false);
    connect(enable_, &QPushButton::clicked, this, &NorvaneIndexOptInView::enableIndex);
    auto* block = makeColumn(20);
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
