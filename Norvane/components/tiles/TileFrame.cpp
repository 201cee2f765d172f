#include "Norvane/components/tiles/TileFrame.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

// The platform's default tilePadding.
constexpr int tilePadding = 16;

} // namespace

TileFrame::TileFrame(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(tilePadding, tilePadding, tilePadding, tilePadding);
    layout_->setSpacing(4);
    layout_->setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TileFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::backgroundRaised());
    painter.drawRoundedRect(QRectF(rect()), 8.0, 8.0);
}

} // namespace norvane::app
