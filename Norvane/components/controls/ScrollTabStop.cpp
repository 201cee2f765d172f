#include "Norvane/components/controls/ScrollTabStop.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace norvane::app::ScrollTabStop {

void follow(QAbstractScrollArea& area) {
    QScrollBar* bar = area.verticalScrollBar();
    const auto place = [&area, bar] { area.setFocusPolicy(bar->maximum() > 0 ? Qt::StrongFocus : Qt::NoFocus); };
    QObject::connect(bar, &QScrollBar::rangeChanged, &area, place);
    place();
}

} // namespace norvane::app::ScrollTabStop
