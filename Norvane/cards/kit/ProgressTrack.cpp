#include "Norvane/cards/kit/ProgressTrack.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

constexpr int markerDiameter = 12;
constexpr int markerTextSize = 8;

} // namespace

ProgressTrack::ProgressTrack(int barHeight, double cornerRadius, QBrush fill, QWidget* parent)
    : QWidget(parent), barHeight_(barHeight), cornerRadius_(cornerRadius), fill_(std::move(fill)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(barHeight);
}

void ProgressTrack::setFraction(double fraction) {
    fraction_ = fraction;
    update();
}

double ProgressTrack::fillWidth() const {
    const double shown = std::isnan(fraction_) ? 0.0 : std::clamp(fraction_, 0.0, 1.0);
    return width() * shown;
}

void ProgressTrack::setGoalMarker(const QString& text) {
    goalMarker_ = text;
    setFixedHeight(std::max(barHeight_, markerDiameter));
    update();
}

QSize ProgressTrack::sizeHint() const { return {100, height()}; }

QRectF ProgressTrack::trackRect() const {
    return {0.0, (height() - barHeight_) / 2.0, static_cast<double>(width()), static_cast<double>(barHeight_)};
}

void ProgressTrack::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track = trackRect();
    painter.setBrush(Palette::backgroundBase());
    painter.drawRoundedRect(track, cornerRadius_, cornerRadius_);
    const double filled = fillWidth();
    if (filled > 0.0) {
        painter.setBrush(fill_);
        painter.drawRoundedRect(QRectF(track.topLeft(), QSizeF(filled, track.height())), cornerRadius_, cornerRadius_);
    }
    if (!goalMarker_.isEmpty()) {
        paintGoalMarker(painter);
    }
}

void ProgressTrack::paintGoalMarker(QPainter& painter) const {
    // Centred on the track's end but kept inside the widget, which does not draw past its edge.
    const QRectF disc(width() - markerDiameter, (height() - markerDiameter) / 2.0, markerDiameter, markerDiameter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::backgroundRaised());
    painter.drawEllipse(disc);
    painter.setFont(Typography::systemFont(markerTextSize));
    painter.setPen(Palette::textPrimary());
    painter.drawText(disc, Qt::AlignCenter, goalMarker_);
}

} // namespace norvane::app
