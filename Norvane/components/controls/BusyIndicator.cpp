#include "Norvane/components/controls/BusyIndicator.h"

#include <QPainter>

#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

BusyIndicator::BusyIndicator(int size, QWidget* parent) : QWidget(parent), size_(size) {
    setFixedSize(size, size);
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + 30) % 360;
        update();
    });
}

void BusyIndicator::showEvent(QShowEvent*) { timer_.start(); }

void BusyIndicator::hideEvent(QHideEvent*) { timer_.stop(); }

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::textSecondary(), 2.0, Qt::SolidLine, Qt::RoundCap));
    const QRectF bounds = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.drawArc(bounds, -angle_ * 16, 270 * 16);
}

} // namespace norvane::app
