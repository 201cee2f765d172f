#include "Norvane/cards/ComparisonBar.h"

#include "Norvane/components/theme/Palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

constexpr int comparisonBarHeight = 24;
constexpr double comparisonBarRadius = 4.0;
constexpr double markerWidth = 3.0;

std::optional<double> shareOf(double value, double scale) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return std::max(value, 0.0) / scale;
}

} // namespace

ComparisonBar::ComparisonBar(double userValue, double medianValue, QWidget* parent)
    : QWidget(parent), geometry_(geometry(userValue, medianValue)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(comparisonBarHeight);
}

ComparisonBar::Geometry ComparisonBar::geometry(double userValue, double medianValue) {
    double largest = 100.0;
    for (const double value : {userValue, medianValue}) {
        if (std::isfinite(value)) {
            largest = std::max(largest, value);
        }
    }
    const double scale = largest * 1.1;
    return {shareOf(userValue, scale), shareOf(medianValue, scale)};
}

std::optional<QRectF> ComparisonBar::userBarRect() const {
    if (!geometry_.userEnd) {
        return std::nullopt;
    }
    return QRectF(0.0, 0.0, *geometry_.userEnd * width(), height());
}

std::optional<QRectF> ComparisonBar::markerRect() const {
    if (!geometry_.medianPosition) {
        return std::nullopt;
    }
    return QRectF(*geometry_.medianPosition * width() - markerWidth / 2.0, 0.0, markerWidth, height());
}

QSize ComparisonBar::sizeHint() const { return {200, comparisonBarHeight}; }

void ComparisonBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::backgroundBase());
    painter.drawRoundedRect(QRectF(rect()), comparisonBarRadius, comparisonBarRadius);
    if (const auto bar = userBarRect(); bar && bar->width() > 0.0) {
        painter.setBrush(Palette::leadingToTrailing(Palette::withOpacity(Palette::cyan(), 0.7), Palette::cyan()));
        painter.drawRoundedRect(*bar, comparisonBarRadius, comparisonBarRadius);
    }
    if (const auto marker = markerRect()) {
        painter.fillRect(*marker, Palette::purple());
    }
}

} // namespace norvane::app
