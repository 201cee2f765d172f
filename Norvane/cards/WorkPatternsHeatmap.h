#pragma once

#include "core/analytics/WorkPatterns.h"

#include <QWidget>

#include <array>
#include <optional>

namespace norvane::app {

/// The weekday by hour grid of commit counts, drawn in one piece: the hour labels over their
/// columns, a row per weekday from Sunday with its short name, one 10-pixel cell per hour shaded
/// by its share of the busiest cell, and the "Less ... More" legend under it. Pointing at a cell
/// tells its day, hour and count.
class WorkPatternsHeatmap : public QWidget {
    Q_OBJECT
public:
    /// The hours whose labels the header shows.
    static constexpr std::array<int, 6> labelledHours = {0, 4, 8, 12, 16, 20};

    explicit WorkPatternsHeatmap(const WorkPatterns::Heatmap& heatmap, QWidget* parent = nullptr);

    /// The shade of a count: 0 for none, else 1 to 4 by quarters of the busiest cell's count, a
    /// quarter's edge falling into the upper shade.
    static int level(int count, int maximum);
    /// The base background for level 0, cyan at 0.3, 0.5, 0.7 and 0.9 for levels 1 to 4.
    static QColor levelColor(int level);
    /// "Tuesday 3pm: 4 commits" for row 2 (day 3), hour 15.
    static QString cellToolTip(int row, int hour, int count);

    QRectF cellRect(int row, int hour) const;
    QRectF hourLabelRect(int hour) const;
    QRectF legendCellRect(int level) const;
    /// The row and hour of the cell under `position`; none between cells and outside the grid.
    std::optional<std::pair<int, int>> cellAt(QPointF position) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    double rowTop(int row) const;
    double legendTop() const;
    void paintHourLabels(QPainter& painter) const;
    void paintRows(QPainter& painter) const;
    void paintLegend(QPainter& painter) const;

    WorkPatterns::Heatmap heatmap_;
    int maximum_;
};

} // namespace norvane::app
