#include "Norvane/settings/PrivacyDetailsView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/LinkButton.h"

namespace norvane::app {
namespace {

QWidget* itemList(const QString& symbol, const QColor& color, const QString& title, const QStringList& items) {
    auto* column = makeColumn(4);
    auto* heading = makeRow(6);
    heading->addWidget(makeSymbol(symbol, TextStyle::caption, color));
    heading->addWidget(makeLabel(title, TextStyle::caption, Palette::textPrimary(), QFont::DemiBold));
    heading->addStretch(1);
    column->addLayout(heading);
    for (const auto& item : items) {
        auto* row = makeRow(6);
        row->setContentsMargins(20, 0, 0, 0);
        row->addWidget(makeLabel(QStringLiteral("•"), TextStyle::caption2, Palette::textMuted()), 0, Qt::AlignTop);
        auto* text = makeLabel(item, TextStyle::caption2, Palette::textSecondary());
        text->setWordWrap(true);
        row->addWidget(text, 1);
        column->addLayout(row);
    }
    return wrap(column);
}

} // namespace

PrivacyDetailsView::PrivacyDetailsView(QWidget* parent)
    : QWidget(parent), disclosure_(new LinkButton(QStringLiteral("What data is collected?"), {}, TextStyle::body,
                                                  Palette::textPrimary())),
      chevron_(makeSymbol(QStringLiteral("chevron.right"), TextStyle::caption, Palette::textSecondary())),
      details_(makeDetails()) {
    auto* header = makeRow(6);
    header->addWidget(chevron_);
    header->addWidget(disclosure_, 1);
    auto* column = makeColumn(0);
    column->addLayout(header);
    column->addWidget(details_);
    setLayout(column);
    details_->setVisible(false);
    connect(disclosure_, &QAbstractButton::clicked, this, [this] {
        details_->setVisible(details_->isHidden());
        chevron_->setSymbolName(isExpanded() ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"));
    });
}

const QStringList& PrivacyDetailsView::collectedItems() {
    static const QStringList items = {QStringLiteral("Daily lines changed (totals only)"),
                                      QStringLiteral("Output composition (% code/docs/tests/config)"),
                                      QStringLiteral("Project size bucket (e.g., 'Medium: 10K-50K')"),
                                      QStringLiteral("Velocity retention percentage"),
                                      QStringLiteral("Primary language"),
                                      QStringLiteral("Random device ID (generated locally)")};
    return items;
}

const QStringList& PrivacyDetailsView::neverCollectedItems() {
    static const QStringList items = {
        QStringLiteral("Project names or paths"), QStringLiteral("File names or code content"),
        QStringLiteral("Git commit messages or authors"), QStringLiteral("User account or personal info"),
        QStringLiteral("IP address (not logged)")};
    return items;
}

bool PrivacyDetailsView::isExpanded() const { return !details_->isHidden(); }

QWidget* PrivacyDetailsView::makeDetails() const {
    auto* column = makeColumn(defaultSpacing);
    column->setContentsMargins(0, 8, 0, 0);
    column->addWidget(itemList(QStringLiteral("checkmark.circle.fill"), Palette::systemGreen(),
                               QStringLiteral("Collected (anonymous)"), collectedItems()));
    column->addWidget(new Divider);
    column->addWidget(itemList(QStringLiteral("xmark.circle.fill"), Palette::red(), QStringLiteral("Never collected"),
                               neverCollectedItems()));
    return wrap(column);
}

} // namespace norvane::app
