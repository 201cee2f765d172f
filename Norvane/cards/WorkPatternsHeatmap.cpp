#include "Norvane/cards/WorkPatternsHeatmap.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace norvane::app {

namespace {

constexpr int dayLabelWidth = 28;
constexpr int cellSize = 10;
constexpr int columnSpacing = 1;
constexpr int heatmapRowSpacing = 4;
constexpr int legendPadding = 4;
constexpr int legendSpacing = 4;
constexpr double heatmapCellRadius = 2.0;
constexpr int dayCount = 7;
constexpr int hourCount = 24;
constexpr int levelCount = 5;

QFont hourFont() { return Typography::systemFont(8); }
QFont dayFont() { return Typography::systemFont(9); }

int hourHeaderHeight() { return QFontMetrics(hourFont()).height(); }

QString lessText() { return QStringLiteral("Less"); }
QString moreText() { return QStringLiteral("More"); }

} // namespace

WorkPatternsHeatmap::WorkPatternsHeatmap(const WorkPatterns::Heatmap& heatmap, QWidget* parent)
    : QWidget(parent), heatmap_(heatmap), maximum_(0) {
    for (const auto& row : heatmap_) {
        maximum_ = std::max(maximum_, *std::max_element(row.begin(), row.end()));
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int WorkPatternsHeatmap::level(int count, int maximum) {
    if (count <= 0) {
        return 0;
    }
    const double intensity = static_cast<double>(count) / static_cast<double>(std::max(maximum, 1));
    if (intensity < 0.25) {
        return 1;
    }
    if (intensity < 0.5) {
        return 2;
    }
    return intensity < 0.75 ? 3 : 4;
}

QColor WorkPatternsHeatmap::levelColor(int level) {
    static constexpr std::array<double, levelCount> opacities = {0.0, 0.3, 0.5, 0.7, 0.9};
    if (level <= 0 || level >= levelCount) {
        return Palette::backgroundBase();
    }
    return Palette::withOpacity(Palette::cyan(), opacities[static_cast<std::size_t>(level)]);
}

QString WorkPatternsHeatmap::cellToolTip(int row, int hour, int count) {
    return fromCore(WorkPatterns::formatDayFull(row + 1)) + QStringLiteral(" ") +
           fromCore(WorkPatterns::formatHour(hour)) + QStringLiteral(": ") + QString::number(count) +
           QStringLiteral(" commits");
}

double WorkPatternsHeatmap::rowTop(int row) const {
    return hourHeaderHeight() + heatmapRowSpacing + row * (cellSize + heatmapRowSpacing);
}

double WorkPatternsHeatmap::legendTop() const { return rowTop(dayCount) + legendPadding; }

QRectF WorkPatternsHeatmap::cellRect(int row, int hour) const {
    return {static_cast<double>(dayLabelWidth + columnSpacing + hour * (cellSize + columnSpacing)), rowTop(row),
            static_cast<double>(cellSize), static_cast<double>(cellSize)};
}

QRectF WorkPatternsHeatmap::hourLabelRect(int hour) const {
    // A label spans the four columns from its own hour to the next labelled one.
    const double left = cellRect(0, hour).left();
    return {left, 0.0, cellRect(0, hour + 3).right() - left + columnSpacing, static_cast<double>(hourHeaderHeight())};
}

QRectF WorkPatternsHeatmap::legendCellRect(int level) const {
    const double left = QFontMetrics(hourFont()).horizontalAdvance(lessText()) + legendSpacing;
    const double top = legendTop() + (QFontMetrics(hourFont()).height() - cellSize) / 2.0;
    return {left + level * (cellSize + legendSpacing), std::max(top, legendTop()), static_cast<double>(cellSize),
            static_cast<double>(cellSize)};
}

std::optional<std::pair<int, int>> WorkPatternsHeatmap::cellAt(QPointF position) const {
    for (int row = 0; row < dayCount; ++row) {
        for (int hour = 0; hour < hourCount; ++hour) {
            if (cellRect(row, hour).contains(position)) {
                return std::pair(row, hour);
            }
        }
    }
    return std::nullopt;
}

QSize WorkPatternsHeatmap::sizeHint() const {
    const double legendBottom = legendTop() + std::max(QFontMetrics(hourFont()).height(), cellSize);
    return QSizeF(cellRect(0, hourCount - 1).right(), legendBottom).toSize();
}

void WorkPatternsHeatmap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintHourLabels(painter);
    paintRows(painter);
    paintLegend(painter);
}

void WorkPatternsHeatmap::paintHourLabels(QPainter& painter) const {
    painter.setFont(hourFont());
    painter.setPen(Palette::textSecondary());
    for (const int hour : labelledHours) {
        painter.drawText(hourLabelRect(hour), Qt::AlignLeft | Qt::AlignVCenter,
                         fromCore(WorkPatterns::formatHour(hour)));
    }
}

void WorkPatternsHeatmap::paintRows(QPainter& painter) const {
    painter.setFont(dayFont());
    for (int row = 0; row < dayCount; ++row) {
        painter.setPen(Palette::textSecondary());
        const QRectF label(0.0, rowTop(row), dayLabelWidth, cellSize);
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip,
                         fromCore(WorkPatterns::formatDay(row + 1)));
        painter.setPen(Qt::NoPen);
        const auto& counts = heatmap_[static_cast<std::size_t>(row)];
        for (int hour = 0; hour < hourCount; ++hour) {
            painter.setBrush(levelColor(level(counts[static_cast<std::size_t>(hour)], maximum_)));
            painter.drawRoundedRect(cellRect(row, hour), heatmapCellRadius, heatmapCellRadius);
        }
    }
}

void WorkPatternsHeatmap::paintLegend(QPainter& painter) const {
    painter.setFont(hourFont());
    painter.setPen(Palette::textSecondary());
    const double textHeight = QFontMetrics(hourFont()).height();
    const QRectF first = legendCellRect(0);
    painter.drawText(QRectF(0.0, legendTop(), first.left(), textHeight), Qt::AlignLeft | Qt::AlignVCenter, lessText());
    const QRectF last = legendCellRect(levelCount - 1);
    painter.drawText(QRectF(last.right() + legendSpacing, legendTop(), width(), textHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, moreText());
    painter.setPen(Qt::NoPen);
    for (int level = 0; level < levelCount; ++level) {
        painter.setBrush(levelColor(level));
        painter.drawRoundedRect(legendCellRect(level), heatmapCellRadius, heatmapCellRadius);
    }
}

bool WorkPatternsHeatmap::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    if (const auto cell = cellAt(help->pos())) {
        const auto [row, hour] = *cell;
        const int count = heatmap_[static_cast<std::size_t>(row)][static_cast<std::size_t>(hour)];
        QToolTip::showText(help->globalPos(), cellToolTip(row, hour, count), this, cellRect(row, hour).toRect());
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

} // namespace norvane::app
