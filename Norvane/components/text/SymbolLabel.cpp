#include "Norvane/components/text/SymbolLabel.h"

#include "Norvane/components/theme/SymbolRegistry.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace norvane::app {

namespace {

// Symbols sit a little larger than the text they accompany, as system symbols do.
int glyphPixelSize(int textPixelSize) { return static_cast<int>(std::lround(textPixelSize * 1.25)); }

} // namespace

SymbolLabel::SymbolLabel(QString symbolName, int pixelSize, QColor color, QWidget* parent)
    : QWidget(parent), symbolName_(std::move(symbolName)), pixelSize_(pixelSize), color_(std::move(color)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolLabel::setSymbolName(const QString& name) {
    if (name != symbolName_) {
        symbolName_ = name;
        updateGeometry();
        update();
    }
}

void SymbolLabel::setColor(const QColor& color) {
    color_ = color;
    update();
}

void SymbolLabel::setRotation(double degrees) {
    rotation_ = degrees;
    update();
}

QSize SymbolLabel::sizeHint() const {
    const QFontMetrics metrics(SymbolRegistry::font(glyphPixelSize(pixelSize_)));
    const QString text = SymbolRegistry::text(symbolName_);
    const int advance = metrics.horizontalAdvance(text);
    // Square for one glyph; a symbol of two glyphs side by side is as high as one of them.
    const int glyphs = std::max(static_cast<int>(text.size()), 1);
    return {std::max(metrics.height(), advance), std::max(metrics.height(), advance / glyphs)};
}

QColor SymbolLabel::shownColor() const {
    return isEnabled() ? color_ : palette().color(QPalette::Disabled, QPalette::WindowText);
}

void SymbolLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(shownColor());
    painter.setFont(SymbolRegistry::font(glyphPixelSize(pixelSize_)));
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.rotate(rotation_);
    painter.translate(-centre);
    painter.drawText(rect(), Qt::AlignCenter, SymbolRegistry::text(symbolName_));
}

} // namespace norvane::app
