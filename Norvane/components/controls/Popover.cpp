#include "Norvane/components/controls/Popover.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr int arrowHeight = 8;
constexpr int arrowHalfWidth = 9;
constexpr double cornerRadius = 8.0;

} // namespace

Popover::Popover(QWidget* anchor)
    : QFrame(anchor, Qt::Popup | Qt::FramelessWindowHint), anchor_(anchor), layout_(new QVBoxLayout(this)) {
    // A click on the anchor while open only closes the panel, instead of reopening it.
    setAttribute(Qt::WA_NoMouseReplay);
    layout_->setContentsMargins(16, 16 + arrowHeight, 16, 16);
}

void Popover::open() {
    adjustSize();
    const QPoint anchorBottom = anchor_->mapToGlobal(QPoint(anchor_->width() / 2, anchor_->height()));
    move(anchorBottom.x() - width() / 2, anchorBottom.y());
    show();
}

QPainterPath Popover::outline() const {
    const QRectF body(0.5, arrowHeight + 0.5, width() - 1.0, height() - arrowHeight - 1.0);
    QPainterPath bubble;
    bubble.addRoundedRect(body, cornerRadius, cornerRadius);
    const double middle = width() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(middle - arrowHalfWidth, arrowHeight + 1.0);
    arrow.lineTo(middle, 0.5);
    arrow.lineTo(middle + arrowHalfWidth, arrowHeight + 1.0);
    arrow.closeSubpath();
    return bubble.united(arrow);
}

void Popover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Palette::backgroundRaised());
    painter.setPen(QPen(Palette::withOpacity(Palette::textMuted(), 0.4), 1.0));
    painter.setBrush(Palette::backgroundRaised());
    painter.drawPath(outline());
}

void Popover::resizeEvent(QResizeEvent* event) {
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    QFrame::resizeEvent(event);
}

void Popover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}

} // namespace norvane::app
