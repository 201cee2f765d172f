#include "Norvane/cards/kit/BorderedButton.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

#include <QPainter>

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

/// The symbol drawn from the registry's font in the text colour, at twice the pixels for sharpness.
QIcon symbolIcon(const QString& name, int pixelSize) {
    QPixmap pixmap(pixelSize * 2, pixelSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(SymbolRegistry::font(pixelSize));
    painter.setPen(Palette::textPrimary());
    painter.drawText(QRect(0, 0, pixelSize, pixelSize), Qt::AlignCenter, SymbolRegistry::text(name));
    return QIcon(pixmap);
}

} // namespace

BorderedButton::BorderedButton(const QString& text, Prominence prominence, const QString& symbol, QWidget* parent)
    : QPushButton(text, parent), prominence_(prominence), symbol_(symbol) {
    setFont(Typography::font(TextStyle::body, prominence == Prominence::prominent ? QFont::DemiBold : QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(buttonStyle(prominence));
    if (!symbol.isEmpty()) {
        const int size = Typography::pixelSize(TextStyle::body) + 2;
        setIcon(symbolIcon(symbol, size));
        setIconSize(QSize(size, size));
    }
}

} // namespace norvane::app
