#pragma once

#include "Norvane/components/charts/TimeRange.h"

#include <QColor>

#include <vector>

class QPointF;
class QVBoxLayout;
class QWidget;

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemLine;

namespace norvane::app {

class DateAxisTicker;
class LabelAxisTicker;

/// The dark look that every chart shares: transparent background, muted grid, date marks on the
/// bottom axis and values on the trailing axis, as the platform's charts place them.
class ChartStyle {
public:
    static QCustomPlot* makePlot(TimeRange range, QWidget* parent);
    static QCPAxis* valueAxis(QCustomPlot* plot);
    static DateAxisTicker& dateTicker(QCustomPlot* plot);
    static LabelAxisTicker& valueTicker(QCustomPlot* plot);

    /// A vertical dashed rule (1 px, 5 on 5 off) spanning the plot's height; hidden until placed.
    static QCPItemLine* makeRule(QCustomPlot* plot, const QColor& color);
    static void placeRule(QCPItemLine* rule, double axisX);

    /// Lays out a chart's body: its hover header over its plot of `plotHeight` pixels, without margins.
    static QVBoxLayout* layOutBody(QWidget* body, QWidget* header, QCustomPlot* plot, int plotHeight);
    /// Draws one smooth curve through `corners` (ordered by x) as both the line and the area under it.
    static void setSmoothCurve(QCPGraph* line, QCPGraph* area, const std::vector<QPointF>& corners);

    /// A point mark: a filled circle of `diameter` pixels, drawn by an empty-lined graph.
    static QCPGraph* makePointMark(QCustomPlot* plot, const QColor& color, double diameter);
};

} // namespace norvane::app
