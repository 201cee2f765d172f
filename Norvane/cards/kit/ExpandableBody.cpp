#include "Norvane/cards/kit/ExpandableBody.h"

#include "Norvane/components/controls/Tween.h"

#include <QLayout>

#include <cmath>

namespace norvane::app {

namespace {

constexpr int durationMs = 200;

} // namespace

ExpandableBody::ExpandableBody(bool expanded, QWidget* parent)
    : QWidget(parent), expanded_(expanded), tween_(new Tween(
                                                this, durationMs, QEasingCurve::InOutQuad,
                                                [this](double value) { showOpenness(value); }, expanded ? 1.0 : 0.0)) {
    // An open body shows with its card; shown before it has one, it would be a window of its own.
    if (!expanded) hide();
}

void ExpandableBody::setExpanded(bool expanded) {
    expanded_ = expanded;
    tween_->setTarget(expanded ? 1.0 : 0.0);
}

double ExpandableBody::openness() const { return tween_->value(); }

int ExpandableBody::fullHeight() const {
    if (layout() == nullptr) {
        return sizeHint().height();
    }
    const int forWidth = layout()->totalHeightForWidth(width());
    return forWidth >= 0 ? forWidth : layout()->totalSizeHint().height();
}

void ExpandableBody::showOpenness(double openness) {
    if (openness >= 1.0) {
        setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        setMaximumHeight(static_cast<int>(std::lround(fullHeight() * openness)));
    }
    setVisible(openness > 0.0);
}

} // namespace norvane::app
