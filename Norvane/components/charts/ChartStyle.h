#pragma once

#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/charts/TimeRange.h"

#include <QColor>

#include <functional>
#include <optional>
#include <vector>

class QPen;
class QPointF;
class QVBoxLayout;
class QWidget;

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemLine;

namespace norvane::app {

class DateAxisTicker;
class HoverHeader;
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
    /// A horizontal rule across the plot's width at a value, drawn with `pen`; hidden until placed.
    static QCPItemLine* makeValueRule(QCustomPlot* plot, const QPen& pen);
    static void placeValueRule(QCPItemLine* rule, double value);

    /// Lays out a chart's body: its hover header over its plot of `plotHeight` pixels, without margins.
    static QVBoxLayout* layOutBody(QWidget* body, QWidget* header, QCustomPlot* plot, int plotHeight);
    /// Draws one smooth curve through `corners` (ordered by x) as both the line and the area under it.
    static void setSmoothCurve(QCPGraph* line, QCPGraph* area, const std::vector<QPointF>& corners);

    /// A point mark: a filled circle of `diameter` pixels, drawn by an empty-lined graph.
    static QCPGraph* makePointMark(QCustomPlot* plot, const QColor& color, double diameter);

    /// The marks of the point a line chart reads out: a dashed vertical rule and a large point.
    struct HoverMarks {
        QCPItemLine* rule;
        QCPGraph* point;
    };
    static HoverMarks makeHoverMarks(QCustomPlot* plot, const QColor& pointColor, double diameter);
    /// Marks `hovered` in the middle of its day and reads it out in `header` (`valueText` of its
    /// value, in `valueColor`); without a hovered point, hides the marks and shows the placeholder.
    static void showDayHover(const HoverMarks& marks, HoverHeader& header, const std::optional<HoveredPoint>& hovered,
                             const std::function<QString(double)>& valueText, const QColor& valueColor);
};

} // namespace norvane::app
