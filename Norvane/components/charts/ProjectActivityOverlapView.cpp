#include "Norvane/components/charts/ProjectActivityOverlapView.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/EmptyChartState.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <optional>

namespace norvane::app {

namespace {

const EmptyChartText overlapWithoutHistory{QStringLiteral("No activity data yet"), {}};
const QString chartName = QStringLiteral("Project activity overlap");

constexpr int headerHeight = 16;
constexpr int headerSpacing = 8;
constexpr int rowHeight = 16;
constexpr int rowSpacing = 4;
constexpr int axisHeight = 14;
constexpr int nameWidth = 80;
constexpr int nameGap = 8;
constexpr double minimumCellWidth = 2.0;
// A cell and the seam that parts it from the next column's.
constexpr double minimumSlotWidth = minimumCellWidth + 1.0;

QString canonical(const QString& name) { return name.normalized(QString::NormalizationForm_C); }

bool nameEqual(const QString& left, const QString& right) { return canonical(left) == canonical(right); }

std::vector<QString> sortedUnique(std::vector<QString> names) {
    std::stable_sort(names.begin(), names.end(), &ProjectActivityOverlapView::nameLess);
    names.erase(std::unique(names.begin(), names.end(), nameEqual), names.end());
    return names;
}

/// What a column stands for, where it is more than a day.
QString columnSpanText(AxisStrideComponent unit) {
    switch (unit) {
    case AxisStrideComponent::day: break;
    case AxisStrideComponent::weekOfYear: return QStringLiteral(", by week");
    case AxisStrideComponent::month: return QStringLiteral(", by month");
    case AxisStrideComponent::year: return QStringLiteral(", by year");
    }
    return {};
}

} // namespace

ProjectActivityOverlapView::ProjectActivityOverlapView(std::vector<ActivityDay> series, TimeRange timeRange,
                                                       QWidget* parent)
    : QWidget(parent), data_(std::move(series)), timeRange_(timeRange), header_(new QWidget(this)),
      headerDate_(new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textMuted())),
      headerBullet_(new StyledLabel(QStringLiteral("•"), font(), Palette::textSecondary())),
      headerNames_(new StyledLabel({}, Typography::font(TextStyle::caption, QFont::Medium), Palette::textPrimary())),
      emptyState_(new EmptyChartState(100, QStringLiteral("rectangle.split.3x1"), overlapWithoutHistory, this)) {
    connect(emptyState_, &EmptyChartState::allTimeRequested, this, &ProjectActivityOverlapView::allTimeRequested);
    auto* headerLayout = new QHBoxLayout(header_);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->addWidget(headerDate_);
    headerLayout->addWidget(headerBullet_);
    headerLayout->addWidget(headerNames_, 1);
    headerNames_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    headerLayout->addStretch(0);
    setMouseTracking(true);
    rebuild();
}

void ProjectActivityOverlapView::setData(std::vector<ActivityDay> series) {
    data_ = std::move(series);
    rebuild();
}

void ProjectActivityOverlapView::setHasHistory(bool hasHistory) {
    hasHistory_ = hasHistory;
    rebuild();
}

void ProjectActivityOverlapView::setTimeRange(TimeRange timeRange) {
    timeRange_ = timeRange;
    rebuild();
}

bool ProjectActivityOverlapView::nameLess(const QString& left, const QString& right) {
    return canonical(left).toUcs4() < canonical(right).toUcs4();
}

std::vector<ActivityDay> ProjectActivityOverlapView::filteredData(const std::vector<ActivityDay>& series,
                                                                  platform::Date startDate) {
    std::vector<ActivityDay> kept = ChartMath::pointsSince(series, startDate);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const ActivityDay& left, const ActivityDay& right) { return left.date < right.date; });
    return kept;
}

std::vector<QString> ProjectActivityOverlapView::uniqueProjects(const std::vector<ActivityDay>& filtered) {
    std::vector<QString> names;
    for (const ActivityDay& day : filtered) {
        for (const QString& name : day.projects) {
            if (std::none_of(names.begin(), names.end(),
                             [&name](const QString& seen) { return nameEqual(seen, name); })) {
                names.push_back(name);
            }
        }
    }
    std::stable_sort(names.begin(), names.end(), &ProjectActivityOverlapView::nameLess);
    return names;
}

std::size_t ProjectActivityOverlapView::columnsThatFit(double width) {
    return width > 0 ? static_cast<std::size_t>(width / minimumSlotWidth) : 0;
}

std::vector<OverlapColumn> ProjectActivityOverlapView::columns(const std::vector<ActivityDay>& filtered,
                                                               AxisStrideComponent unit) {
    std::vector<OverlapColumn> columns;
    for (const ActivityDay& day : filtered) {
        const platform::Date start = ChartMath::unitStart(unit, day.date);
        if (columns.empty() || columns.back().start != start) columns.push_back({start, {}});
        auto& names = columns.back().projects;
        names.insert(names.end(), day.projects.begin(), day.projects.end());
    }
    for (OverlapColumn& column : columns) column.projects = sortedUnique(std::move(column.projects));
    return columns;
}

AxisStrideComponent ProjectActivityOverlapView::columnUnit(const std::vector<ActivityDay>& filtered,
                                                           std::size_t maxColumns) {
    for (const AxisStrideComponent unit :
         {AxisStrideComponent::day, AxisStrideComponent::weekOfYear, AxisStrideComponent::month}) {
        std::size_t count = 0;
        std::optional<platform::Date> previous;
        for (const ActivityDay& day : filtered) {
            const platform::Date start = ChartMath::unitStart(unit, day.date);
            if (start != previous) ++count;
            previous = start;
        }
        if (count <= maxColumns) return unit;
    }
    return AxisStrideComponent::year;
}

std::vector<std::size_t> ProjectActivityOverlapView::axisLabelIndices(std::size_t columns) {
    const std::size_t step = std::max<std::size_t>(columns / 5, 1);
    std::vector<std::size_t> indices;
    for (std::size_t index = 0; index < columns; index += step) {
        indices.push_back(index);
    }
    return indices;
}

std::vector<QString> ProjectActivityOverlapView::axisLabels(const std::vector<OverlapColumn>& columns,
                                                            AxisStrideComponent unit, TimeRange range,
                                                            platform::Date now) {
    if (columns.empty()) return {};
    const bool withYear = DateText::axisNamesYear(range, columns.front().start, columns.back().start, now);
    std::vector<QString> labels;
    for (const std::size_t index : axisLabelIndices(columns.size())) {
        labels.push_back(DateText::axisLabel(columns[index].start, unit, withYear));
    }
    return labels;
}

std::uint64_t ProjectActivityOverlapView::nameHash(const QString& name) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char byte : name.toUtf8()) {
        hash ^= static_cast<std::uint8_t>(byte);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

int ProjectActivityOverlapView::colorIndex(std::int64_t hash) {
    // Negating in unsigned arithmetic gives the magnitude even of the most negative value.
    const auto bits = static_cast<std::uint64_t>(hash);
    const std::uint64_t magnitude = hash < 0 ? 0 - bits : bits;
    return static_cast<int>(magnitude % 8);
}

QColor ProjectActivityOverlapView::colorForProject(const QString& name) {
    static const std::array<QColor, 8> colors = {Palette::blue(),   Palette::green(),     Palette::amber(),
                                                 Palette::purple(), Palette::red(),       Palette::cyan(),
                                                 Palette::violet(), Palette::systemTeal()};
    return colors[static_cast<std::size_t>(colorIndex(static_cast<std::int64_t>(nameHash(canonical(name)))))];
}

void ProjectActivityOverlapView::handleHover(platform::Date date, bool entering) {
    if (!entering) {
        return;
    }
    hoveredDate_ = date;
    hoveredUnit_ = layout_.unit;
    const auto found = std::find_if(layout_.columns.begin(), layout_.columns.end(),
                                    [date](const OverlapColumn& column) { return column.start == date; });
    hoveredProjects_ = found == layout_.columns.end() ? std::vector<QString>() : found->projects;
    showHeader();
}

bool ProjectActivityOverlapView::isShowingGrid() const { return !layout_.rows.empty(); }

QString ProjectActivityOverlapView::headerText() const {
    if (headerBullet_->isHidden()) {
        return headerDate_->text();
    }
    return headerDate_->text() + QStringLiteral(" • ") + headerNames_->text();
}

QSize ProjectActivityOverlapView::sizeHint() const {
    if (!isShowingGrid()) {
        return {300, 100};
    }
    const auto rows = static_cast<int>(layout_.rows.size());
    return {300, headerHeight + headerSpacing + rows * (rowHeight + rowSpacing) + axisHeight};
}

void ProjectActivityOverlapView::rebuild() {
    layout_.filtered = filteredData(data_, timeRange_.startDate());
    layout_.rows = uniqueProjects(layout_.filtered);
    layOutColumns();
    const bool grid = isShowingGrid();
    header_->setVisible(grid);
    emptyState_->setVisible(!grid);
    // A single day with a project already fills a column: the grid is empty only of days.
    emptyState_->setText(
        EmptyChartText::forRange(overlapWithoutHistory, {hasHistory_, 0, timeRange_ != TimeRange::allTime},
                                 QStringLiteral("active day"), QStringLiteral("when projects overlapped")));
    setFixedHeight(sizeHint().height());
}

void ProjectActivityOverlapView::layOutColumns() {
    layout_.unit = columnUnit(layout_.filtered, columnsThatFit(stripWidth()));
    layout_.columns = columns(layout_.filtered, layout_.unit);
    pointedColumn_.reset();
    showHeader();
    update();
}

void ProjectActivityOverlapView::showHeader() {
    const bool hovered = hoveredDate_.has_value();
    headerDate_->setText(hovered ? DateText::periodText(*hoveredDate_, hoveredUnit_)
                                 : chartName + columnSpanText(layout_.unit));
    headerDate_->setColor(hovered ? Palette::textSecondary() : Palette::textMuted());
    const bool names = hovered && !hoveredProjects_.empty();
    QStringList list;
    for (const QString& name : hoveredProjects_) {
        list.append(name);
    }
    headerNames_->setText(names ? list.join(QStringLiteral(", ")) : QString());
    headerBullet_->setVisible(names);
    headerNames_->setVisible(names);
}

double ProjectActivityOverlapView::stripWidth() const {
    return std::max(0.0, static_cast<double>(width() - nameWidth - nameGap));
}

double ProjectActivityOverlapView::gridTop() const { return headerHeight + headerSpacing; }

double ProjectActivityOverlapView::slotWidth() const {
    return layout_.columns.empty() ? 0.0 : stripWidth() / static_cast<double>(layout_.columns.size());
}

double ProjectActivityOverlapView::cellWidth() const { return std::max(slotWidth() - 1.0, minimumCellWidth); }

QRectF ProjectActivityOverlapView::cellRect(std::size_t row, std::size_t column) const {
    const double top = gridTop() + static_cast<double>(row) * (rowHeight + rowSpacing);
    // Each cell starts where its column's label does.
    return {nameWidth + nameGap + static_cast<double>(column) * slotWidth(), top, cellWidth(), rowHeight};
}

std::optional<std::size_t> ProjectActivityOverlapView::columnAt(QPointF position) const {
    if (layout_.columns.empty() || layout_.rows.empty()) {
        return std::nullopt;
    }
    for (std::size_t row = 0; row < layout_.rows.size(); ++row) {
        const QRectF strip = cellRect(row, 0);
        if (position.y() >= strip.top() && position.y() < strip.bottom() && position.x() >= strip.left()) {
            const auto column = static_cast<std::size_t>((position.x() - strip.left()) / slotWidth());
            if (column < layout_.columns.size()) {
                return column;
            }
        }
    }
    return std::nullopt;
}

void ProjectActivityOverlapView::mouseMoveEvent(QMouseEvent* event) {
    const auto column = columnAt(event->position());
    if (column && column != pointedColumn_) {
        handleHover(layout_.columns[*column].start, true);
    } else if (!column && pointedColumn_) {
        handleHover(layout_.columns[*pointedColumn_].start, false);
    }
    pointedColumn_ = column;
    QWidget::mouseMoveEvent(event);
}

void ProjectActivityOverlapView::resizeEvent(QResizeEvent* event) {
    header_->setGeometry(0, 0, width(), headerHeight);
    emptyState_->setGeometry(0, 0, width(), emptyState_->height());
    if (event->size().width() != event->oldSize().width()) layOutColumns();
    QWidget::resizeEvent(event);
}

void ProjectActivityOverlapView::paintEvent(QPaintEvent*) {
    if (!isShowingGrid()) {
        return;
    }
    QPainter painter(this);
    for (std::size_t row = 0; row < layout_.rows.size(); ++row) {
        paintRow(painter, row);
    }
    paintAxisLabels(painter);
}

void ProjectActivityOverlapView::paintRow(QPainter& painter, std::size_t row) const {
    const QString& name = layout_.rows[row];
    const QRectF first = cellRect(row, 0);
    const QFont nameFont = Typography::font(TextStyle::caption2);
    painter.setFont(nameFont);
    painter.setPen(palette().color(QPalette::WindowText));
    const QString shown = QFontMetrics(nameFont).elidedText(name, Qt::ElideRight, nameWidth);
    painter.drawText(QRectF(0, first.top(), nameWidth, rowHeight), Qt::AlignRight | Qt::AlignVCenter, shown);
    const QColor active = colorForProject(name);
    for (std::size_t column = 0; column < layout_.columns.size(); ++column) {
        const auto& projects = layout_.columns[column].projects;
        const bool isActive = std::any_of(projects.begin(), projects.end(),
                                          [&name](const QString& other) { return nameEqual(other, name); });
        painter.fillRect(cellRect(row, column), isActive ? active : Palette::backgroundRaised());
    }
}

void ProjectActivityOverlapView::paintAxisLabels(QPainter& painter) const {
    const double top = gridTop() + static_cast<double>(layout_.rows.size()) * (rowHeight + rowSpacing);
    painter.setFont(Typography::font(TextStyle::caption2));
    painter.setPen(Palette::textSecondary());
    const QFontMetricsF metrics(painter.font());
    const std::vector<std::size_t> indices = axisLabelIndices(layout_.columns.size());
    const std::vector<QString> labels = axisLabels(layout_.columns, layout_.unit, timeRange_, platform::currentDate());
    for (std::size_t label = 0; label < indices.size(); ++label) {
        const QString& text = labels[label];
        // A label that starts near the trailing edge is moved back in, rather than cut off.
        const double labelWidth = metrics.horizontalAdvance(text);
        const double left = std::min(cellRect(0, indices[label]).left(), static_cast<double>(width()) - labelWidth);
        painter.drawText(QRectF(left, top, labelWidth, axisHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

} // namespace norvane::app
