#include "Norvane/cards/kit/CapsuleBadge.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>

namespace norvane::app {

namespace {

constexpr int badgeHorizontalPadding = 6;
constexpr int badgeVerticalPadding = 2;

} // namespace

CapsuleBadge::CapsuleBadge(QString text, QColor color, TextStyle style, QWidget* parent)
    : QWidget(parent), text_(std::move(text)), color_(std::move(color)) {
    setFont(Typography::font(style));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CapsuleBadge::setText(const QString& text, const QColor& color) {
    text_ = text;
    color_ = color;
    updateGeometry();
    update();
}

QSize CapsuleBadge::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 2 * badgeHorizontalPadding, metrics.height() + 2 * badgeVerticalPadding};
}

void CapsuleBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::withOpacity(color_, 0.15));
    const QRectF shape(rect());
    painter.drawRoundedRect(shape, shape.height() / 2.0, shape.height() / 2.0);
    painter.setPen(color_);
    painter.drawText(shape, Qt::AlignCenter, text_);
}

} // namespace norvane::app
