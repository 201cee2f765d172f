#include "Norvane/cards/kit/BorderedButton.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

namespace norvane::app {

namespace {

QString rgba(const QColor& color) { return color.name(QColor::HexArgb); }

QString buttonStyle(BorderedButton::Prominence prominence) {
    const bool prominent = prominence == BorderedButton::Prominence::prominent;
    const QColor fill = prominent ? Palette::blue() : Palette::withOpacity(Palette::textPrimary(), 0.08);
    const QColor hover = prominent ? Palette::blue().lighter(112) : Palette::withOpacity(Palette::textPrimary(), 0.14);
    const QColor border = prominent ? fill : Palette::withOpacity(Palette::textPrimary(), 0.16);
    return QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3; border-radius: 6px;"
                          " padding: 5px 12px; }"
                          "QPushButton:hover { background: %4; }"
                          "QPushButton:pressed { background: %5; }"
                          "QPushButton:disabled { background: %6; color: %7; border-color: %6; }")
        .arg(rgba(fill), rgba(Palette::textPrimary()), rgba(border), rgba(hover), rgba(fill.darker(125)),
             rgba(Palette::withOpacity(fill, fill.alphaF() * 0.45)), rgba(Palette::textMuted()));
}

} // namespace

BorderedButton::BorderedButton(const QString& text, Prominence prominence, const QString& symbol, QWidget* parent)
    : QPushButton(text, parent), prominence_(prominence), symbol_(symbol) {
    setFont(Typography::font(TextStyle::body, prominence == Prominence::prominent ? QFont::DemiBold : QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(buttonStyle(prominence));
    if (!symbol.isEmpty()) {
        const int size = Typography::pixelSize(TextStyle::body) + 2;
        setIcon(SymbolRegistry::icon(symbol, size, Palette::textPrimary()));
        setIconSize(QSize(size, size));
    }
}

} // namespace norvane::app
