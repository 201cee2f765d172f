#include "Norvane/settings/LinkButton.h"

#include <QHBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

LinkButton::LinkButton(const QString& text, const QString& symbol, TextStyle style, const QColor& color,
                       QWidget* parent)
    : QAbstractButton(parent) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    // Children take their text colour by the parent's background role: a button's would turn the
    // labels' colour into the button's text colour.
    setBackgroundRole(QPalette::Window);
    auto* row = makeRow(6);
    if (!symbol.isEmpty()) row->addWidget(makeSymbol(symbol, style, color));
    row->addWidget(makeLabel(text, style, color));
    row->addStretch(1);
    setLayout(row);
}

QColor LinkButton::linkColor() { return Palette::systemBlue(); }

// The symbol and the text are drawn by the children.
void LinkButton::paintEvent(QPaintEvent*) {}

} // namespace norvane::app
