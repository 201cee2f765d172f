#include "Norvane/components/controls/Tween.h"

#include <QVariantAnimation>

#include <atomic>

namespace norvane::app {

namespace {

std::atomic<bool>& enabledFlag() {
    static std::atomic<bool> enabled{true};
    return enabled;
}

} // namespace

Tween::Tween(QObject* parent, int durationMs, QEasingCurve curve, std::function<void(double)> onChange, double initial)
    : QObject(parent), animation_(new QVariantAnimation(this)), onChange_(std::move(onChange)), value_(initial),
      target_(initial) {
    animation_->setDuration(durationMs);
    animation_->setEasingCurve(curve);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& step) { apply(step.toDouble()); });
}

void Tween::setTarget(double target) {
    if (target == target_) {
        return;
    }
    target_ = target;
    animation_->stop();
    if (!animationsEnabled()) {
        apply(target);
        return;
    }
    animation_->setStartValue(value_);
    animation_->setEndValue(target);
    animation_->start();
}

void Tween::jumpTo(double value) {
    animation_->stop();
    target_ = value;
    apply(value);
}

bool Tween::animationsEnabled() { return enabledFlag().load(); }

void Tween::setAnimationsEnabled(bool enabled) { enabledFlag().store(enabled); }

void Tween::apply(double value) {
    value_ = value;
    onChange_(value);
}

} // namespace norvane::app
