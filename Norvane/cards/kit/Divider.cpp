#include "Norvane/cards/kit/Divider.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>

namespace norvane::app {

Divider::Divider(QWidget* parent) : QWidget(parent) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

Divider::Divider(int height, QWidget* parent) : QWidget(parent) { setFixedSize(1, height); }

void Divider::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Palette::withOpacity(Palette::textMuted(), 0.25));
}

} // namespace norvane::app
