#include "Norvane/cards/kit/ColorDot.h"

#include <QPainter>

namespace norvane::app {

ColorDot::ColorDot(int diameter, QColor color, QWidget* parent) : QWidget(parent), color_(std::move(color)) {
    setFixedSize(diameter, diameter);
}

void ColorDot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawEllipse(QRectF(rect()));
}

} // namespace norvane::app
