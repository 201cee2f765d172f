#include "Norvane/components/charts/PlotHoverTracker.h"

#include "Norvane/components/charts/ChartMath.h"

#include <qcustomplot.h>

#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

namespace norvane::app {

namespace {

platform::Date markDate(platform::Date date, PlotHoverTracker::MarkPlacement placement) {
    return placement == PlotHoverTracker::MarkPlacement::middleOfDay ? ChartMath::dateAt(ChartMath::dayCentre(date))
                                                                     : date;
}

} // namespace

PlotHoverTracker::PlotHoverTracker(QCustomPlot* plot, MarkPlacement placement, Points points)
    : plot_(plot), placement_(placement), points_(std::move(points)) {
    plot->setMouseTracking(true);
    plot->installEventFilter(this);
}

void PlotHoverTracker::clear() {
    point_.reset();
    emit changed();
}

std::optional<HoveredPoint> PlotHoverTracker::nearest(const std::vector<HoveredPoint>& points, double pointerX,
                                                      MarkPlacement placement) {
    const platform::Date pointer = ChartMath::dateAt(pointerX);
    std::optional<HoveredPoint> best;
    platform::Date bestMark;
    std::chrono::microseconds bestDistance{};
    for (const HoveredPoint& point : points) {
        const platform::Date mark = markDate(point.date, placement);
        const auto distance = mark > pointer ? mark - pointer : pointer - mark;
        if (!best || distance < bestDistance || (distance == bestDistance && mark < bestMark)) {
            best = point;
            bestMark = mark;
            bestDistance = distance;
        }
    }
    return best;
}

void PlotHoverTracker::pointAt(double pixelX) {
    if (auto found = nearest(points_(), plot_->xAxis->pixelToCoord(pixelX), placement_)) {
        point_ = found;
        emit changed();
    }
}

void PlotHoverTracker::followScroll(QPointF globalPointer) {
    // The plot passes the turn on to the page, which scrolls after this filter has run.
    QTimer::singleShot(0, this, [this, globalPointer] {
        const QPointF pointer = plot_->mapFromGlobal(globalPointer);
        if (plot_->isVisible() && plot_->rect().contains(pointer.toPoint())) {
            pointAt(pointer.x());
        } else if (point_) {
            clear();
        }
    });
}

bool PlotHoverTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress: pointAt(static_cast<QMouseEvent*>(event)->position().x()); break;
    case QEvent::MouseButtonRelease: emit dragEnded(); break;
    case QEvent::Leave: clear(); break;
    case QEvent::Wheel: followScroll(static_cast<QWheelEvent*>(event)->globalPosition()); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace norvane::app
