#include "Norvane/cards/kit/RoundedPanel.h"

#include "Norvane/components/theme/Palette.h"

#include <QBoxLayout>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace norvane::app {

RoundedPanel::RoundedPanel(Look look, QWidget* parent)
    : QWidget(parent), look_(std::move(look)),
      layout_(
          new QBoxLayout(look_.orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this)) {
    layout_->setContentsMargins(look_.padding);
    layout_->setSpacing(look_.spacing);
}

RoundedPanel::Look RoundedPanel::card(int spacing) {
    const QMargins padding(defaultPadding, defaultPadding, defaultPadding, defaultPadding);
    return {12.0, QBrush(Palette::backgroundRaised()), std::nullopt, padding, spacing, Qt::Vertical};
}

RoundedPanel::Look RoundedPanel::box(const QBrush& fill, int padding, Qt::Orientation orientation, int spacing) {
    return {8.0, fill, std::nullopt, QMargins(padding, padding, padding, padding), spacing, orientation};
}

RoundedPanel::Look RoundedPanel::capsule(const QBrush& fill, QMargins padding, int spacing) {
    // Any radius beyond half the height rounds the ends fully.
    return {std::numeric_limits<double>::infinity(), fill, std::nullopt, padding, spacing, Qt::Horizontal};
}

void RoundedPanel::setFill(const QBrush& fill) {
    look_.fill = fill;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(look_.fill);
    // A 1-pixel border sits half a pixel inside, so it is drawn whole.
    const QRectF shape = look_.border ? QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(rect());
    painter.setPen(look_.border ? QPen(*look_.border, 1.0) : QPen(Qt::NoPen));
    const double radius = std::min({look_.cornerRadius, shape.width() / 2.0, shape.height() / 2.0});
    painter.drawRoundedRect(shape, radius, radius);
}

} // namespace norvane::app
