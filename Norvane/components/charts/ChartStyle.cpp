#include "Norvane/components/charts/ChartStyle.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/LabelAxisTicker.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <qcustomplot.h>

#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr int curveSamplesPerSegment = 12;

/// The plots zoom nothing, yet the plot takes every wheel turn for itself: this leaves each one to
/// what holds the plot, so that a page full of charts still scrolls under the pointer.
class WheelPassThrough : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
        // Ignored and filtered: the application offers the turn to the parent widgets.
        event->ignore();
        return true;
    }
};

void styleAxis(QCPAxis* axis) {
    axis->setBasePen(Qt::NoPen);
    axis->setTickPen(Qt::NoPen);
    axis->setSubTickPen(Qt::NoPen);
    axis->setTickLabelColor(Palette::textSecondary());
    axis->setTickLabelFont(Typography::font(TextStyle::caption2));
    axis->grid()->setPen(QPen(Palette::withOpacity(Palette::textMuted(), 0.25), 0));
    axis->grid()->setZeroLinePen(Qt::NoPen);
    axis->grid()->setSubGridVisible(false);
}

} // namespace

QCustomPlot* ChartStyle::makePlot(TimeRange range, QWidget* parent) {
    auto* plot = new QCustomPlot(parent);
    plot->setBackground(QBrush(Qt::transparent));
    // The plot is see-through: whatever lies behind it must be painted first.
    plot->setAttribute(Qt::WA_OpaquePaintEvent, false);
    plot->setMouseTracking(true);
    // The plot stops its events from reaching its parents; the page's scroll area needs the wheel.
    plot->setAttribute(Qt::WA_NoMousePropagation, false);
    plot->installEventFilter(new WheelPassThrough(plot));
    plot->setAntialiasedElements(QCP::aePlottables | QCP::aeItems | QCP::aeFills);
    // Nothing is drawn on the overlay layer, which would otherwise keep a picture of the plot's size
    // of its own.
    plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot->axisRect()->setBackground(Qt::NoBrush);
    plot->yAxis->setVisible(false);
    plot->yAxis2->setVisible(true);
    plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new DateAxisTicker(range, plot->xAxis)));
    plot->yAxis2->setTicker(
        QSharedPointer<QCPAxisTicker>(new LabelAxisTicker([](double value) { return formatFixed(value, 1); })));
    styleAxis(plot->xAxis);
    styleAxis(plot->yAxis2);
    // Each value mark draws its grid line; the secondary axes' grids start hidden.
    plot->yAxis2->grid()->setVisible(true);
    return plot;
}

QCPAxis* ChartStyle::valueAxis(QCustomPlot* plot) { return plot->yAxis2; }

DateAxisTicker& ChartStyle::dateTicker(QCustomPlot* plot) {
    return static_cast<DateAxisTicker&>(*plot->xAxis->ticker());
}

LabelAxisTicker& ChartStyle::valueTicker(QCustomPlot* plot) {
    return static_cast<LabelAxisTicker&>(*plot->yAxis2->ticker());
}

QCPItemLine* ChartStyle::makeRule(QCustomPlot* plot, const QColor& color) {
    auto* rule = new QCPItemLine(plot);
    for (QCPItemPosition* end : {rule->start, rule->end}) {
        end->setAxes(plot->xAxis, plot->yAxis2);
        end->setTypeX(QCPItemPosition::ptPlotCoords);
        end->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    QPen pen(color, 1.0, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({5.0, 5.0});
    rule->setPen(pen);
    rule->setClipToAxisRect(true);
    rule->setVisible(false);
    return rule;
}

void ChartStyle::placeRule(QCPItemLine* rule, double axisX) {
    rule->start->setCoords(axisX, 0.0);
    rule->end->setCoords(axisX, 1.0);
    rule->setVisible(true);
}

QCPItemLine* ChartStyle::makeValueRule(QCustomPlot* plot, const QPen& pen) {
    auto* rule = new QCPItemLine(plot);
    for (QCPItemPosition* end : {rule->start, rule->end}) {
        end->setAxes(plot->xAxis, plot->yAxis2);
        end->setTypeX(QCPItemPosition::ptAxisRectRatio);
        end->setTypeY(QCPItemPosition::ptPlotCoords);
    }
    rule->setPen(pen);
    rule->setClipToAxisRect(true);
    rule->setVisible(false);
    return rule;
}

void ChartStyle::placeValueRule(QCPItemLine* rule, double value) {
    rule->start->setCoords(0.0, value);
    rule->end->setCoords(1.0, value);
    rule->setVisible(true);
}

QVBoxLayout* ChartStyle::layOutBody(QWidget* body, QWidget* header, QCustomPlot* plot, int plotHeight) {
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addWidget(plot);
    plot->setFixedHeight(plotHeight);
    return layout;
}

void ChartStyle::setSmoothCurve(QCPGraph* line, QCPGraph* area, const std::vector<QPointF>& corners) {
    QVector<double> keys;
    QVector<double> values;
    for (const QPointF& sample : ChartMath::smoothCurve(corners, curveSamplesPerSegment)) {
        keys.append(sample.x());
        values.append(sample.y());
    }
    line->setData(keys, values, true);
    area->setData(keys, values, true);
}

QCPGraph* ChartStyle::makePointMark(QCustomPlot* plot, const QColor& color, double diameter) {
    QCPGraph* mark = plot->addGraph(plot->xAxis, plot->yAxis2);
    mark->setLineStyle(QCPGraph::lsNone);
    mark->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, color, color, diameter));
    return mark;
}

ChartStyle::HoverMarks ChartStyle::makeHoverMarks(QCustomPlot* plot, const QColor& pointColor, double diameter) {
    QCPItemLine* rule = makeRule(plot, Palette::withOpacity(Palette::textMuted(), 0.5));
    return {rule, makePointMark(plot, pointColor, diameter)};
}

void ChartStyle::showDayHover(const HoverMarks& marks, HoverHeader& header, const std::optional<HoveredPoint>& hovered,
                              const std::function<QString(double)>& valueText, const QColor& valueColor) {
    marks.rule->setVisible(false);
    marks.point->data()->clear();
    if (hovered) {
        header.showReadOut(DateText::dateOnly(hovered->date), valueText(hovered->value), valueColor);
        placeRule(marks.rule, ChartMath::dayCentre(hovered->date));
        marks.point->setData({ChartMath::dayCentre(hovered->date)}, {hovered->value});
    } else {
        header.showPlaceholder();
    }
    marks.rule->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace norvane::app
