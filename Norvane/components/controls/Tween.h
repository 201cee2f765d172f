#pragma once

#include <QEasingCurve>
#include <QObject>

#include <functional>

class QVariantAnimation;

namespace norvane::app {

/// One animated number (a hover amount, a rotation, a slide) that eases toward its target and
/// reports every step. With animations off (as in tests) it jumps to the target at once.
class Tween : public QObject {
    Q_OBJECT
public:
    Tween(QObject* parent, int durationMs, QEasingCurve curve, std::function<void(double)> onChange,
          double initial = 0.0);

    double value() const { return value_; }
    double target() const { return target_; }
    void setTarget(double target);
    /// Stops any run and takes `value` at once.
    void jumpTo(double value);

    static bool animationsEnabled();
    static void setAnimationsEnabled(bool enabled);

private:
    void apply(double value);

    QVariantAnimation* animation_;
    std::function<void(double)> onChange_;
    double value_;
    double target_;
};

} // namespace norvane::app
