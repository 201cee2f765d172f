#include "Norvane/cards/OptInPromptCard.h"

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

RoundedPanel::Look invitationLook() {
    RoundedPanel::Look look = RoundedPanel::card(16);
    look.fill = Palette::topLeadingToBottomTrailing(Palette::withOpacity(Palette::blue(), 0.1),
                                                    Palette::withOpacity(Palette::purple(), 0.05));
    look.border = Palette::withOpacity(Palette::blue(), 0.2);
    return look;
}

QLayout* benefitRow(const QString& symbol, const QString& text) {
    auto* row = makeRow(defaultSpacing);
    auto* icon = makeSymbol(symbol, TextStyle::caption, Palette::blue());
    auto* iconColumn = wrap(makeColumn(0));
    iconColumn->setFixedWidth(20);
    iconColumn->layout()->addWidget(icon);
    iconColumn->layout()->setAlignment(icon, Qt::AlignCenter);
    row->addWidget(iconColumn);
    row->addWidget(makeLabel(text, TextStyle::caption, Palette::textSecondary()));
    row->addStretch(1);
    return row;
}

} // namespace

OptInPromptCard::OptInPromptCard(int contributorCount, QWidget* parent) : RoundedPanel(invitationLook(), parent) {
    contentLayout()->addWidget(makeHeader());
    auto* benefits = makeColumn(8);
    benefits->addLayout(
        benefitRow(QStringLiteral("person.2.fill"), QStringLiteral("Compare your productivity to the community")));
    benefits->addLayout(benefitRow(QStringLiteral("chart.line.uptrend.xyaxis"),
                                   QStringLiteral("Track your percentile rankings over time")));
    benefits->addLayout(benefitRow(QStringLiteral("lock.shield.fill"),
                                   QStringLiteral("100% anonymous - no code or file names shared")));
    contentLayout()->addLayout(benefits);
    contentLayout()->addWidget(makeStatusBox());
    contentLayout()->addLayout(makeButtons());
    setContributorCount(contributorCount);
}

QWidget* OptInPromptCard::makeHeader() const {
    auto* header = makeRow(12);
    header->addWidget(makeSymbol(QStringLiteral("chart.bar.doc.horizontal.fill"), TextStyle::title, Palette::blue()));
    auto* titles = makeColumn(2);
    titles->addWidget(makeLabel(QStringLiteral("Join the Norvane Index"), TextStyle::headline, Palette::textPrimary()));
    titles->addWidget(makeLabel(QStringLiteral("See how you compare to other AI-assisted developers"),
                                TextStyle::subheadline, Palette::textSecondary()));
    header->addLayout(titles, 1);
    return wrap(header);
}

QWidget* OptInPromptCard::makeStatusBox() {
    auto* box = new RoundedPanel(RoundedPanel::box(Palette::backgroundBase(), 10, Qt::Vertical, 6));
    auto* statusRow = makeRow(defaultSpacing);
    statusSymbol_ = makeSymbol({}, TextStyle::caption, Palette::amber());
    statusText_ = makeLabel({}, TextStyle::caption, Palette::textPrimary(), QFont::Medium);
    statusRow->addWidget(statusSymbol_);
    statusRow->addWidget(statusText_, 1);
    box->contentLayout()->addLayout(statusRow);
    bar_ = new ProgressTrack(6, 3.0, Palette::leadingToTrailing(Palette::blue(), Palette::purple()));
    caption_ = makeLabel({}, TextStyle::caption2, Palette::textMuted());
    box->contentLayout()->addWidget(bar_);
    box->contentLayout()->addWidget(caption_);
    return box;
}

QLayout* OptInPromptCard::makeButtons() {
    auto* buttons = makeRow(12);
    optIn_ = new BorderedButton(QStringLiteral("Enable Anonymous Sharing"), BorderedButton::Prominence::prominent,
                                QStringLiteral("checkmark.circle.fill"));
    optIn_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    learnMore_ = new BorderedButton(QStringLiteral("Learn More"), BorderedButton::Prominence::standard);
    buttons->addWidget(optIn_, 1);
    buttons->addWidget(learnMore_);
    connect(optIn_, &QPushButton::clicked, this, &OptInPromptCard::optInRequested);
    connect(learnMore_, &QPushButton::clicked, this, &OptInPromptCard::learnMoreRequested);
    return buttons;
}

void OptInPromptCard::setContributorCount(int contributorCount) {
    const ContributorStatus status = contributorStatus(contributorCount);
    statusSymbol_->setSymbolName(status.symbol);
    statusSymbol_->setColor(status.color);
    statusText_->setText(status.text);
    const auto progress = unlockProgress(contributorCount);
    bar_->setVisible(progress.has_value());
    caption_->setVisible(progress.has_value());
    if (progress) {
        bar_->setFraction(progress->fraction);
        caption_->setText(progress->caption);
    }
}

OptInPromptCard::ContributorStatus OptInPromptCard::contributorStatus(int contributorCount) {
    const QString count = QString::number(contributorCount);
    if (contributorCount >= 500) {
        return {QStringLiteral("person.3.fill"), Palette::green(),
                QStringLiteral("Join ") + count + QStringLiteral("+ developers already contributing")};
    }
    if (contributorCount < 100) {
        return {QStringLiteral("person.badge.plus"), Palette::amber(),
                count + QStringLiteral("/100 contributors for early benchmarks")};
    }
    return {QStringLiteral("person.2.fill"), Palette::blue(),
            count + QStringLiteral(" developers contributing - benchmarks available!")};
}

std::optional<OptInPromptCard::UnlockProgress> OptInPromptCard::unlockProgress(int contributorCount) {
    if (contributorCount > 499) {
        return std::nullopt;
    }
    if (contributorCount <= 99) {
        return UnlockProgress{100, contributorCount / 100.0,
                              QStringLiteral("Early benchmarks unlock at 100 contributors")};
    }
    return UnlockProgress{500, contributorCount / 500.0, QStringLiteral("Full benchmarks unlock at 500 contributors")};
}

} // namespace norvane::app
