#include "Norvane/components/charts/SparklineView.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace norvane::app {
namespace {

constexpr double dotRadius = 3.0;
// The dot's shadow: its own radius and the blur around it.
constexpr double glowRadius = 7.0;

} // namespace

SparklineView::SparklineView(std::vector<double> series, QColor lineColor, bool fillGradient, QWidget* parent)
    : QWidget(parent), data_(std::move(series)), lineColor_(std::move(lineColor)), fillGradient_(fillGradient) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void SparklineView::setSeries(std::vector<double> series) {
    data_ = std::move(series);
    update();
}

std::vector<double> SparklineView::normalizedData(const std::vector<double>& series) {
    if (series.empty()) {
        return {};
    }
    const auto [low, high] = std::minmax_element(series.begin(), series.end());
    const double minimum = *low;
    const double maximum = *high;
    std::vector<double> result;
    result.reserve(series.size());
    for (const double value : series) {
        result.push_back(maximum > minimum ? (value - minimum) / (maximum - minimum) : 0.5);
    }
    return result;
}

QPointF SparklineView::pointAt(std::size_t index, std::size_t count, double normalized, double width, double height) {
    const double step = width / static_cast<double>(std::max<std::size_t>(count, 2) - 1);
    return {static_cast<double>(index) * step, height - 0.8 * normalized * height - 0.1 * height};
}

void SparklineView::paintEvent(QPaintEvent*) {
    const std::vector<double> values = normalizedData(data_);
    if (values.empty()) {
        return;
    }
    // The end dot sits on the right edge of the area, and its glow can reach further than the
    // top and bottom tenths that the points keep free: the area is inset just enough for the
    // whole dot to stay inside the widget.
    const double inset = std::max(0.0, (glowRadius - 0.1 * height()) / 0.8);
    const double h = std::max(0.0, height() - 2.0 * inset);
    const double w = std::max(0.0, width() - glowRadius);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.0, inset);
    QPainterPath line;
    QPainterPath area;
    area.moveTo(0.0, h);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QPointF point = pointAt(i, values.size(), values[i], w, h);
        i == 0 ? line.moveTo(point) : line.lineTo(point);
        area.lineTo(point);
    }
    area.lineTo(w, h);
    area.closeSubpath();
    if (fillGradient_) {
        QLinearGradient fill(0.0, 0.0, 0.0, h);
        fill.setColorAt(0.0, Palette::withOpacity(lineColor_, 0.3));
        fill.setColorAt(1.0, Palette::withOpacity(lineColor_, 0.05));
        painter.fillPath(area, fill);
    }
    painter.strokePath(line, QPen(lineColor_, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF end(w, pointAt(values.size() - 1, values.size(), values.back(), w, h).y());
    QRadialGradient shadow(end, glowRadius);
    shadow.setColorAt(0.0, Palette::withOpacity(lineColor_, 0.5));
    shadow.setColorAt(1.0, Palette::withOpacity(lineColor_, 0.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(end, glowRadius, glowRadius);
    painter.setBrush(lineColor_);
    painter.drawEllipse(end, dotRadius, dotRadius);
}

} // namespace norvane::app
