#include "Norvane/cards/kit/FilterChip.h"

#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QPainter>

namespace norvane::app {

namespace {

constexpr int chipHorizontalPadding = 10;
constexpr int chipVerticalPadding = 4;
constexpr int chipFadeMs = 150;

} // namespace

FilterChip::FilterChip(const QString& text, QWidget* parent)
    : QAbstractButton(parent),
      selection_(new Tween(this, chipFadeMs, QEasingCurve::InOutQuad, [this](double) { update(); })) {
    setText(text);
    setFont(Typography::font(TextStyle::caption));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void FilterChip::setSelected(bool selected) {
    selected_ = selected;
    selection_->setTarget(selected ? 1.0 : 0.0);
}

QColor FilterChip::fillColor() const {
    return Palette::blend(Palette::backgroundBase(), Palette::blue(), selection_->value());
}

QColor FilterChip::textColor() const {
    return Palette::blend(Palette::textSecondary(), Qt::white, selection_->value());
}

QSize FilterChip::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * chipHorizontalPadding, metrics.height() + 2 * chipVerticalPadding};
}

void FilterChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColor());
    const QRectF shape(rect());
    painter.drawRoundedRect(shape, shape.height() / 2.0, shape.height() / 2.0);
    painter.setPen(textColor());
    painter.drawText(shape, Qt::AlignCenter, text());
}

} // namespace norvane::app
