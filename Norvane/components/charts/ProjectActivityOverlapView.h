#pragma once

#include "Norvane/components/charts/TimeRange.h"
#include "platform/Date.h"

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <map>
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

/// A grid with one row per project and one column per day of the window: a cell takes the
/// project's colour when the project was active that day. Pointing at a cell names the day and
/// its projects in the header line.
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
    static std::map<platform::Date, std::vector<QString>> dayProjectsMap(const std::vector<ActivityDay>& filtered);
    static int maxCells(TimeRange range);
    static std::vector<platform::Date> sampleDates(const std::vector<platform::Date>& dates, std::size_t count);
    static std::vector<platform::Date> columnDates(const std::vector<ActivityDay>& filtered, TimeRange range);
    static std::vector<std::size_t> axisLabelIndices(std::size_t columns);
    /// The labels of those columns: "M/d", with the year at the first label and wherever the year
    /// changes when the columns span years, as the date axes of the other charts name it.
    static std::vector<QString> axisLabels(const std::vector<platform::Date>& columns);
    /// The 64-bit FNV-1a hash of the name's UTF-8 bytes: stable from run to run.
    static std::uint64_t nameHash(const QString& name);
    /// The magnitude of the hash read as a signed number, modulo 8.
    static int colorIndex(std::int64_t hash);
    static QColor colorForProject(const QString& name);

    /// The pointer entered (or left) the cell of `date`.
    void handleHover(platform::Date date, bool entering);

    bool isShowingGrid() const;
    const EmptyChartState& emptyState() const { return *emptyState_; }
    std::optional<platform::Date> hoveredDate() const { return hoveredDate_; }
    const std::vector<QString>& hoveredProjects() const { return hoveredProjects_; }
    /// The header line as shown: the placeholder, or the date, "•" and the names.
    QString headerText() const;
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
        std::map<platform::Date, std::vector<QString>> dayProjects;
        std::vector<platform::Date> columns;
    };

    void rebuild();
    void showHeader();
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
    std::vector<QString> hoveredProjects_;
    std::optional<std::size_t> pointedColumn_;
    QWidget* header_;
    StyledLabel* headerDate_;
    StyledLabel* headerBullet_;
    StyledLabel* headerNames_;
    EmptyChartState* emptyState_;
};

} // namespace norvane::app
