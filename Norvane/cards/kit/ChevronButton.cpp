#include "Norvane/cards/kit/ChevronButton.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>

namespace norvane::app {

namespace {

QString chevronName(bool expanded) { return expanded ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"); }

} // namespace

ChevronButton::ChevronButton(bool expanded, QWidget* parent)
    : QAbstractButton(parent),
      symbol_(makeSymbol(chevronName(expanded), TextStyle::caption, Palette::textSecondary())) {
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(symbol_);
    // Clicks reach the button, not the symbol over it.
    symbol_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ChevronButton::setExpanded(bool expanded) { symbol_->setSymbolName(chevronName(expanded)); }

void ChevronButton::paintEvent(QPaintEvent*) {}

} // namespace norvane::app
