#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

namespace norvane::app {

class EmptyChartState;
class StyledLabel;

/// The projects active on one day.
struct ActivityDay {
    platform::Date date;
    std::int64_t count = 0;
    std::vector<QString> projects;
};

/// One column of the grid: a day, or a week, a month or a year where the days do not fit.
struct OverlapColumn {
    /// The first day of its span.
    platform::Date start;
    /// The names active on some day of it, in name order.
    std::vector<QString> projects;
};

/// A grid with one row per project and one column per day of the window with activity: a cell
/// takes the project's colour when the project was active that day. Where the days do not fit the
/// width, a column stands for a week, a month or a year, and the header says so. Pointing at a cell
/// names its span and its projects in the header line.
class ProjectActivityOverlapView : public QWidget {
    Q_OBJECT
public:
    ProjectActivityOverlapView(std::vector<ActivityDay> series, TimeRange timeRange, QWidget* parent = nullptr);

    void setData(std::vector<ActivityDay> series);
    void setTimeRange(TimeRange timeRange);
    /// Whether any project's history was read: then an empty range was only quiet.
    void setHasHistory(bool hasHistory);

    /// Name order: canonically equivalent names are equal, otherwise code-point order.
    static bool nameLess(const QString& left, const QString& right);
    static std::vector<ActivityDay> filteredData(const std::vector<ActivityDay>& series, platform::Date startDate);
    static std::vector<QString> uniqueProjects(const std::vector<ActivityDay>& filtered);
    /// How many columns a strip `width` wide holds with each cell wide enough to be seen.
    static std::size_t columnsThatFit(double width);
    /// One column per `unit` that holds a day of `filtered` (sorted by date), oldest first: every
    /// active day lies in a column.
    static std::vector<OverlapColumn> columns(const std::vector<ActivityDay>& filtered, AxisStrideComponent unit);
    /// The finest of day, week, month and year whose columns over `filtered` number at most
    /// `maxColumns`; the year when none does.
    static AxisStrideComponent columnUnit(const std::vector<ActivityDay>& filtered, std::size_t maxColumns);
    static std::vector<std::size_t> axisLabelIndices(std::size_t columns);
    /// The labels of those columns, by their unit, naming the year as every date axis does.
    static std::vector<QString> axisLabels(const std::vector<OverlapColumn>& columns, AxisStrideComponent unit,
                                           TimeRange range, platform::Date now);
    /// The 64-bit FNV-1a hash of the name's UTF-8 bytes: stable from run to run.
    static std::uint64_t nameHash(const QString& name);
    /// The magnitude of the hash read as a signed number, modulo 8.
    static int colorIndex(std::int64_t hash);
    static QColor colorForProject(const QString& name);

    /// The pointer entered (or left) the cell of the column that starts at `date`.
    void handleHover(platform::Date date, bool entering);

    bool isShowingGrid() const;
    const EmptyChartState& emptyState() const { return *emptyState_; }
    std::optional<platform::Date> hoveredDate() const { return hoveredDate_; }
    const std::vector<QString>& hoveredProjects() const { return hoveredProjects_; }
    /// The header line as shown: the chart's name (with the span of a column unless a day), or the
    /// pointed column's span, "•" and the names.
    QString headerText() const;
    /// The columns drawn, with the span each stands for.
    const std::vector<OverlapColumn>& shownColumns() const { return layout_.columns; }
    AxisStrideComponent columnUnit() const { return layout_.unit; }
    /// The rows drawn, top to bottom.
    const std::vector<QString>& rows() const { return layout_.rows; }
    /// Where the cell of row `row` and column `column` lies, in this widget's coordinates.
    QRectF cellRect(std::size_t row, std::size_t column) const;
    QSize sizeHint() const override;

signals:
    /// The empty state's offer of All Time was taken; the page holds the range.
    void allTimeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Layout {
        std::vector<ActivityDay> filtered;
        std::vector<QString> rows;
        AxisStrideComponent unit = AxisStrideComponent::day;
        std::vector<OverlapColumn> columns;
    };

    void rebuild();
    /// Groups the days into the columns that the width holds.
    void layOutColumns();
    void showHeader();
    double stripWidth() const;
    double gridTop() const;
    double slotWidth() const;
    double cellWidth() const;
    std::optional<std::size_t> columnAt(QPointF position) const;
    void paintRow(QPainter& painter, std::size_t row) const;
    void paintAxisLabels(QPainter& painter) const;

    std::vector<ActivityDay> data_;
    TimeRange timeRange_;
    bool hasHistory_ = false;
    Layout layout_;
    std::optional<platform::Date> hoveredDate_;
    AxisStrideComponent hoveredUnit_ = AxisStrideComponent::day;
    std::vector<QString> hoveredProjects_;
    std::optional<std::size_t> pointedColumn_;
    QWidget* header_;
    StyledLabel* headerDate_;
    StyledLabel* headerBullet_;
    StyledLabel* headerNames_;
    EmptyChartState* emptyState_;
};

} // namespace norvane::app
