#include "Norvane/pages/LatestCommitCard.h"

#include <QBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/MenuBarModel.h"

namespace norvane::app {
namespace {

constexpr int ageRefreshMilliseconds = 1000;

} // namespace

QFont LatestCommitCard::monospacedFont(TextStyle style) {
    QFont font = Typography::font(style);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    return font;
}

LatestCommitCard::LatestCommitCard(QWidget* parent)
    : RoundedPanel(box(Palette::backgroundRaised(), defaultPadding, Qt::Horizontal, 12), parent),
      hash_(new StyledLabel({}, monospacedFont(TextStyle::body), Palette::textPrimary())),
      message_(new ElidedLabel(Typography::font(TextStyle::body), Palette::textPrimary(), 2)),
      author_(makeLabel({}, TextStyle::caption, Palette::textSecondary())),
      age_(makeLabel({}, TextStyle::caption, Palette::textSecondary())) {
    contentLayout()->addWidget(makeSymbol(QStringLiteral("chevron.left.forwardslash.chevron.right"), TextStyle::body,
                                          Palette::textSecondary()),
                               0, Qt::AlignTop);
    auto* column = makeColumn(4);
    column->addWidget(hash_);
    column->addWidget(message_);
    auto* byline = makeRow(defaultSpacing);
    byline->addWidget(author_);
    ageSeparator_ = makeLabel(QStringLiteral("•"), TextStyle::caption, Palette::textSecondary());
    byline->addWidget(ageSeparator_);
    byline->addWidget(age_);
    byline->addStretch(1);
    column->addLayout(byline);
    contentLayout()->addLayout(column, 1);
    ticker_.setInterval(ageRefreshMilliseconds);
    connect(&ticker_, &QTimer::timeout, this, &LatestCommitCard::showAge);
}

void LatestCommitCard::setCommit(const RecordedCommit& commit) {
    commit_ = commit;
    hash_->setText(commit.hash ? QString::fromStdString(commit.hash->substr(0, 7)) : QString());
    hash_->setVisible(commit.hash.has_value());
    message_->setText(commit.message ? QString::fromStdString(*commit.message) : QString());
    message_->setVisible(commit.message.has_value());
    author_->setText(commit.author ? QString::fromStdString(*commit.author) : QString());
    author_->setVisible(commit.author.has_value());
    ageSeparator_->setVisible(commit.date.has_value());
    age_->setVisible(commit.date.has_value());
    showAge();
}

void LatestCommitCard::showAge() {
    age_->setText(commit_.date ? DateText::elapsedText(*commit_.date, platform::currentDate()) : QString());
}

void LatestCommitCard::showEvent(QShowEvent* event) {
    RoundedPanel::showEvent(event);
    showAge();
    ticker_.start();
}

void LatestCommitCard::hideEvent(QHideEvent* event) {
    RoundedPanel::hideEvent(event);
    ticker_.stop();
}

QString LatestCommitCard::hashText() const { return hash_->isHidden() ? QString() : hash_->text(); }

QString LatestCommitCard::messageText() const { return message_->isHidden() ? QString() : message_->text(); }

QString LatestCommitCard::bylineText() const {
    QStringList parts;
    if (!author_->isHidden()) parts << author_->text();
    if (!age_->isHidden()) parts << ageSeparator_->text() << age_->text();
    return parts.join(QStringLiteral(" "));
}

} // namespace norvane::app
