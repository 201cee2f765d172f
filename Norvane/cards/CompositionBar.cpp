#include "Norvane/cards/CompositionBar.h"

#include "Norvane/cards/OutputCompositionCard.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

namespace norvane::app {

namespace {

constexpr int barHeight = 24;
constexpr double compositionSegmentSpacing = 1.0;
constexpr double minimumSegmentWidth = 2.0;

} // namespace

CompositionBar::CompositionBar(const OutputComposition& composition, QWidget* parent)
    : QWidget(parent), composition_(composition) {
    setFixedHeight(barHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

std::vector<CompositionBar::Segment> CompositionBar::segments(const OutputComposition& composition, double available) {
    std::vector<Segment> result;
    double x = 0.0;
    for (const auto& category : OutputCompositionCard::categories()) {
        const double width = available * (composition.*category.metrics).percent / 100.0;
        // Written as "not above 0", so a share that is not a number is left out too.
        if (!(width > 0.0)) {
            continue;
        }
        const double drawn = std::max(width, minimumSegmentWidth);
        result.push_back({category.label, category.color, x, drawn});
        x += drawn + compositionSegmentSpacing;
    }
    return result;
}

bool CompositionBar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    for (const Segment& segment : segments()) {
        if (help->pos().x() >= segment.x && help->pos().x() < segment.x + segment.width) {
            QToolTip::showText(help->globalPos(), segment.label, this);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void CompositionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), 4.0, 4.0);
    painter.setClipPath(clip);
    for (const Segment& segment : segments()) {
        painter.fillRect(QRectF(segment.x, 0.0, segment.width, height()), segment.color);
    }
}

} // namespace norvane::app
