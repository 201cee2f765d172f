#include "Norvane/onboarding/DependencyCheckView.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QUrl>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/PlainButton.h"
#include "Norvane/onboarding/StepLayout.h"

namespace norvane::app {
namespace {

constexpr int statusFrame = 24;
constexpr int rowInset = 40;

BorderedButton* makeSmallButton(const QString& text) {
    auto* button = new BorderedButton(text, BorderedButton::Prominence::standard);
    button->setFont(Typography::font(TextStyle::subheadline, QFont::Medium));
    button->setAutoDefault(false);
    return button;
}

} // namespace

DependencyCheckView::DependencyCheckView(OnboardingWizardModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* column = StepLayout::makeStepColumn(*this, 20);
    auto* title = StepLayout::makeCentredText(QStringLiteral("Checking Dependencies"), TextStyle::title,
                                              Palette::textPrimary(), QFont::Bold);
    title->setContentsMargins(0, 20, 0, 0);
    column->addWidget(title);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Norvane needs a few tools to analyze your projects"),
                                                  TextStyle::subheadline, Palette::textSecondary()));
    auto* rows = makeColumn(12);
    rows->setContentsMargins(rowInset, 0, rowInset, 0);
    rows->addWidget(makeToolRow(git_, QStringLiteral("git"), QStringLiteral("Version control (for commit history)")));
    rows->addWidget(makeToolRow(scc_, QStringLiteral("scc"), QStringLiteral("Code metrics analyzer")));
    column->addLayout(rows);
    auto* box = makeRow(0);
    box->setContentsMargins(rowInset, 0, rowInset, 0);
    box->addWidget(makeInstallBox());
    column->addLayout(box);
    column->addStretch(1);
    column->addWidget(makeCheckingIndicator(), 0, Qt::AlignHCenter);

    connect(&model_, &OnboardingWizardModel::changed, this, &DependencyCheckView::refresh);
    model_.checkDependencies();
    refresh();
}

QWidget* DependencyCheckView::makeToolRow(ToolRowView& row, const QString& name, const QString& description) {
    auto* panel = new RoundedPanel(
        RoundedPanel::box(QBrush(Palette::backgroundRaised()), RoundedPanel::defaultPadding, Qt::Horizontal, 16));
    row.spinner = new BusyIndicator(17);
    row.symbol = makeSymbol(QString(), TextStyle::title2, Palette::green());
    auto* status = makeRow(0);
    status->addWidget(row.spinner, 0, Qt::AlignCenter);
    status->addWidget(row.symbol, 0, Qt::AlignCenter);
    auto* statusHolder = wrap(status);
    statusHolder->setFixedSize(statusFrame, statusFrame);

    auto* header = makeRow(defaultSpacing);
    auto* nameLabel = makeLabel(name, TextStyle::headline, Palette::textPrimary());
    nameLabel->setFont(StepLayout::monospaced(TextStyle::headline, QFont::Bold));
    header->addWidget(nameLabel);
    row.badge = new CapsuleBadge(QString(), Palette::red(), TextStyle::caption);
    header->addWidget(row.badge);
    header->addStretch(1);
    row.hint = makeLabel(QString(), TextStyle::caption, Palette::textMuted());
    row.hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* texts = makeColumn(2);
    texts->addLayout(header);
    texts->addWidget(makeLabel(description, TextStyle::subheadline, Palette::textSecondary()));
    texts->addWidget(row.hint);

    panel->contentLayout()->addWidget(statusHolder, 0, Qt::AlignVCenter);
    panel->contentLayout()->addLayout(texts, 1);
    return panel;
}

QWidget* DependencyCheckView::makeInstallBox() {
    auto* box =
        new RoundedPanel(RoundedPanel::box(QBrush(Palette::withOpacity(Palette::amber(), 0.1)), 12, Qt::Vertical, 10));
    installBox_ = box;
    auto* content = box->contentLayout();
    content->addWidget(StepLayout::makeCentredText(QStringLiteral("scc is required to analyze your code"),
                                                   TextStyle::subheadline, Palette::amber()));
    copy_ = makeSmallButton(QStringLiteral("Copy Install Command"));
    connect(copy_, &QPushButton::clicked, this,
            [] { QGuiApplication::clipboard()->setText(DependencyRows::sccInstallCommand); });
    checkAgain_ = makeSmallButton(QStringLiteral("Check Again"));
    connect(checkAgain_, &QPushButton::clicked, this, [this] { model_.checkDependencies(); });
    auto* buttons = makeRow(12);
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(checkAgain_);
    buttons->addStretch(1);
    content->addLayout(buttons);
    auto* learnMore =
        new PlainButton(QStringLiteral("Learn more about scc"), Palette::systemBlue(), TextStyle::caption);
    connect(learnMore, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(DependencyRows::sccProjectPage)); });
    content->addWidget(learnMore, 0, Qt::AlignHCenter);
    return installBox_;
}

QWidget* DependencyCheckView::makeCheckingIndicator() {
    auto* row = makeRow(defaultSpacing);
    row->addWidget(new BusyIndicator(16));
    row->addWidget(makeLabel(QStringLiteral("Checking..."), TextStyle::body, Palette::textSecondary()));
    checking_ = wrap(row);
    return checking_;
}

void DependencyCheckView::refresh() {
    const auto& findings = model_.dependencies();
    showRow(git_, DependencyRows::git(findings));
    showRow(scc_, DependencyRows::scc(findings));
    installBox_->setVisible(DependencyRows::showsInstallBox(findings, model_.isCheckingDependencies()));
    checking_->setVisible(model_.isCheckingDependencies());
}

void DependencyCheckView::showRow(ToolRowView& row, const ToolRow& look) {
    const bool checking = model_.isCheckingDependencies();
    row.spinner->setVisible(checking);
    row.symbol->setVisible(!checking);
    row.symbol->setSymbolName(look.symbol);
    row.symbol->setColor(look.symbolColor);
    row.badge->setVisible(look.badge.has_value());
    row.badge->setText(look.badge.value_or(QString()), look.badgeColor);
    row.hint->setVisible(!checking && look.hint.has_value());
    row.hint->setText(look.hint.value_or(QString()));
    row.hint->setFont(look.hintIsCommand ? StepLayout::monospaced(TextStyle::caption)
                                         : Typography::font(TextStyle::caption));
}

} // namespace norvane::app
