#include "Norvane/components/charts/PlotHoverTracker.h"

#include <qcustomplot.h>

#include <QMouseEvent>

namespace norvane::app {

PlotHoverTracker::PlotHoverTracker(QCustomPlot* plot) : QObject(plot) {
    plot->setMouseTracking(true);
    plot->installEventFilter(this);
}

bool PlotHoverTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: emit moved(static_cast<QMouseEvent*>(event)->position().x()); break;
    case QEvent::MouseButtonPress: emit moved(static_cast<QMouseEvent*>(event)->position().x()); break;
    case QEvent::MouseButtonRelease: emit dragEnded(); break;
    case QEvent::Leave: emit left(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace norvane::app
