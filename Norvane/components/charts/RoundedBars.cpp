#include "Norvane/components/charts/RoundedBars.h"

namespace norvane::app {

RoundedBars::RoundedBars(QCPAxis* keyAxis, QCPAxis* valueAxis, double cornerRadius)
    : QCPBars(keyAxis, valueAxis), cornerRadius_(cornerRadius) {}

void RoundedBars::draw(QCPPainter* painter) {
    if (keyAxis() == nullptr || valueAxis() == nullptr || mDataContainer->isEmpty()) {
        return;
    }
    QCPBarsDataContainer::const_iterator begin;
    QCPBarsDataContainer::const_iterator end;
    getVisibleDataBounds(begin, end);
    applyDefaultAntialiasingHint(painter);
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush());
    for (auto bar = begin; bar != end; ++bar) {
        const QRectF rect = getBarRect(bar->key, bar->value).normalized();
        const double radius = std::min({cornerRadius_, rect.width() / 2.0, rect.height() / 2.0});
        painter->drawRoundedRect(rect, radius, radius);
    }
}

} // namespace norvane::app
