#include "Norvane/components/controls/OceanSegmentedPicker.h"

#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace norvane::app {

namespace {

constexpr double trackPadding = 3.0;
constexpr double segmentSpacing = 2.0;
constexpr double horizontalPadding = 12.0;
constexpr double verticalPadding = 6.0;

QFont labelFont(bool selected) { return Typography::systemFont(12, selected ? QFont::DemiBold : QFont::Medium); }

QRectF interpolate(const QRectF& from, const QRectF& to, double amount) {
    return {from.x() + (to.x() - from.x()) * amount, from.y() + (to.y() - from.y()) * amount,
            from.width() + (to.width() - from.width()) * amount,
            from.height() + (to.height() - from.height()) * amount};
}

} // namespace

OceanSegmentedPicker::OceanSegmentedPicker(QVariant selection, QList<Option> options, QWidget* parent)
    : QWidget(parent), selection_(std::move(selection)), options_(std::move(options)),
      slide_(new Tween(
          this, 200, QEasingCurve::InOutQuad, [this](double) { update(); }, 1.0)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void OceanSegmentedPicker::setSelection(const QVariant& selection) {
    selection_ = selection;
    slideFrom_.reset();
    update();
}

QStringList OceanSegmentedPicker::segmentLabels() const {
    QStringList labels;
    for (const Option& option : options_) {
        labels.append(option.label);
    }
    return labels;
}

std::optional<int> OceanSegmentedPicker::selectedIndex() const {
    for (int index = 0; index < options_.size(); ++index) {
        if (options_[index].value == selection_) {
            return index;
        }
    }
    return std::nullopt;
}

QSizeF OceanSegmentedPicker::segmentSize(int index) const {
    // The wider, semibold text sets the size, so a segment keeps its width when selected.
    const QFontMetricsF metrics(labelFont(true));
    return {metrics.horizontalAdvance(options_[index].label) + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

QRectF OceanSegmentedPicker::segmentRect(int index) const {
    double x = trackPadding;
    for (int before = 0; before < index; ++before) {
        x += segmentSize(before).width() + segmentSpacing;
    }
    return {QPointF(x, trackPadding), segmentSize(index)};
}

std::optional<QRectF> OceanSegmentedPicker::highlightRect() const {
    const auto selected = selectedIndex();
    if (!selected) {
        return std::nullopt;
    }
    const QRectF target = segmentRect(*selected);
    return slideFrom_ ? interpolate(*slideFrom_, target, slide_->value()) : target;
}

QSize OceanSegmentedPicker::sizeHint() const {
    if (options_.isEmpty()) {
        const double height = QFontMetricsF(labelFont(true)).height() + 2 * verticalPadding;
        return QSizeF(2 * trackPadding, height + 2 * trackPadding).toSize();
    }
    const QRectF last = segmentRect(static_cast<int>(options_.size()) - 1);
    return QSizeF(last.right() + trackPadding, last.bottom() + trackPadding).toSize();
}

void OceanSegmentedPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::backgroundBase());
    painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(sizeHint())), 8.0, 8.0);
    if (const auto highlight = highlightRect()) {
        paintHighlight(painter, *highlight);
    }
    const auto selected = selectedIndex();
    for (int index = 0; index < options_.size(); ++index) {
        const bool isSelected = selected == index;
        painter.setFont(labelFont(isSelected));
        painter.setPen(isSelected ? Palette::textPrimary() : Palette::textSecondary());
        painter.drawText(segmentRect(index), Qt::AlignCenter, options_[index].label);
    }
}

void OceanSegmentedPicker::paintHighlight(QPainter& painter, const QRectF& rect) const {
    painter.setBrush(Palette::backgroundRaised());
    painter.setPen(QPen(Palette::withOpacity(Palette::cyan(), 0.3), 1.0));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6.0, 6.0);
}

void OceanSegmentedPicker::mouseReleaseEvent(QMouseEvent* event) {
    for (int index = 0; index < options_.size(); ++index) {
        if (segmentRect(index).contains(event->position())) {
            choose(index);
            return;
        }
    }
}

void OceanSegmentedPicker::keyPressEvent(QKeyEvent* event) {
    const int last = static_cast<int>(options_.size()) - 1;
    const int current = selectedIndex().value_or(-1);
    std::optional<int> target;
    switch (event->key()) {
    case Qt::Key_Left: target = current < 0 ? last : std::max(current - 1, 0); break;
    case Qt::Key_Right: target = std::min(current + 1, last); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = last; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (last >= 0) choose(*target);
}

void OceanSegmentedPicker::choose(int index) {
    if (options_[index].value == selection_) {
        return;
    }
    slideFrom_ = highlightRect();
    selection_ = options_[index].value;
    if (slideFrom_) {
        slide_->jumpTo(0.0);
        slide_->setTarget(1.0);
    }
    update();
    emit selectionChanged(selection_);
}

} // namespace norvane::app
