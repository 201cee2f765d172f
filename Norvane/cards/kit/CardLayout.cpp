#include "Norvane/cards/kit/CardLayout.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

QString fromCore(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

StyledLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, std::optional<QFont::Weight> weight) {
    return new StyledLabel(text, weight ? Typography::font(style, *weight) : Typography::font(style), color);
}

SymbolLabel* makeSymbol(const QString& name, TextStyle style, const QColor& color) {
    return new SymbolLabel(name, Typography::pixelSize(style), color);
}

QHBoxLayout* makeRow(int spacing) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QVBoxLayout* makeColumn(int spacing) {
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QWidget* wrap(QBoxLayout* layout) {
    auto* holder = new QWidget;
    holder->setLayout(layout);
    return holder;
}

void clearLayout(QLayout* layout, int from) {
    while (layout->count() > from) {
        QLayoutItem* item = layout->takeAt(from);
        if (QWidget* widget = item->widget()) {
            delete widget;
        } else if (QLayout* nested = item->layout()) {
            clearLayout(nested);
        }
        delete item;
    }
}

} // namespace norvane::app
