#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

namespace {

QColor makeColor(double red, double green, double blue) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue), 1.0F);
}

QLinearGradient twoColorGradient(QPointF from, QPointF to, const QColor& start, const QColor& end) {
    QLinearGradient result(from, to);
    result.setCoordinateMode(QGradient::ObjectMode);
    result.setColorAt(0.0, start);
    result.setColorAt(1.0, end);
    return result;
}

} // namespace

// Function-local statics: made on first use, once, safely when two threads arrive together.
const QColor& Palette::backgroundDeep() {
    static const QColor color = makeColor(0.043, 0.059, 0.102);
    return color;
}
const QColor& Palette::backgroundBase() {
    static const QColor color = makeColor(0.051, 0.078, 0.129);
    return color;
}
const QColor& Palette::backgroundRaised() {
    static const QColor color = makeColor(0.082, 0.11, 0.173);
    return color;
}
const QColor& Palette::cyan() {
    static const QColor color = makeColor(0.0, 0.941, 1.0);
    return color;
}
const QColor& Palette::blue() {
    static const QColor color = makeColor(0.231, 0.51, 0.965);
    return color;
}
const QColor& Palette::purple() {
    static const QColor color = makeColor(0.659, 0.333, 0.969);
    return color;
}
const QColor& Palette::violet() {
    static const QColor color = makeColor(0.486, 0.227, 0.929);
    return color;
}
const QColor& Palette::green() {
    static const QColor color = makeColor(0.204, 0.827, 0.6);
    return color;
}
const QColor& Palette::amber() {
    static const QColor color = makeColor(0.984, 0.749, 0.141);
    return color;
}
const QColor& Palette::red() {
    static const QColor color = makeColor(0.973, 0.443, 0.443);
    return color;
}
const QColor& Palette::pink() {
    static const QColor color = makeColor(0.925, 0.282, 0.6);
    return color;
}
const QColor& Palette::textPrimary() {
    static const QColor color = makeColor(0.976, 0.98, 0.984);
    return color;
}
const QColor& Palette::textSecondary() {
    static const QColor color = makeColor(0.82, 0.835, 0.859);
    return color;
}
const QColor& Palette::textMuted() {
    static const QColor color = makeColor(0.612, 0.639, 0.686);
    return color;
}

const QLinearGradient& Palette::accentGradient() {
    static const QLinearGradient gradient = [] {
        QLinearGradient result(0.0, 0.0, 1.0, 1.0);
        result.setCoordinateMode(QGradient::ObjectMode);
        result.setColorAt(0.0, cyan());
        result.setColorAt(0.5, blue());
        result.setColorAt(1.0, purple());
        return result;
    }();
    return gradient;
}

QLinearGradient Palette::leadingToTrailing(const QColor& start, const QColor& end) {
    return twoColorGradient(QPointF(0.0, 0.0), QPointF(1.0, 0.0), start, end);
}

QLinearGradient Palette::topLeadingToBottomTrailing(const QColor& start, const QColor& end) {
    return twoColorGradient(QPointF(0.0, 0.0), QPointF(1.0, 1.0), start, end);
}

const QColor& Palette::systemBlue() {
    static const QColor color = makeColor(0.039, 0.518, 1.0);
    return color;
}
const QColor& Palette::systemPurple() {
    static const QColor color = makeColor(0.749, 0.353, 0.949);
    return color;
}
const QColor& Palette::systemGreen() {
    static const QColor color = makeColor(0.196, 0.843, 0.294);
    return color;
}
const QColor& Palette::systemOrange() {
    static const QColor color = makeColor(1.0, 0.624, 0.039);
    return color;
}
const QColor& Palette::systemCyan() {
    static const QColor color = makeColor(0.392, 0.824, 1.0);
    return color;
}
const QColor& Palette::systemIndigo() {
    static const QColor color = makeColor(0.369, 0.361, 0.902);
    return color;
}
const QColor& Palette::systemMint() {
    static const QColor color = makeColor(0.4, 0.831, 0.812);
    return color;
}
const QColor& Palette::systemGray() {
    static const QColor color = makeColor(0.557, 0.557, 0.576);
    return color;
}
const QColor& Palette::systemTeal() {
    static const QColor color = makeColor(0.251, 0.784, 0.878);
    return color;
}

QColor Palette::withOpacity(const QColor& color, double opacity) {
    QColor result = color;
    result.setAlphaF(static_cast<float>(opacity));
    return result;
}

QColor Palette::blend(const QColor& from, const QColor& to, double amount) {
    if (amount <= 0.0 || amount >= 1.0) return amount <= 0.0 ? from : to;
    const auto between = [amount](float start, float end) {
        return static_cast<float>(start + (end - start) * amount);
    };
    return QColor::fromRgbF(between(from.redF(), to.redF()), between(from.greenF(), to.greenF()),
                            between(from.blueF(), to.blueF()), between(from.alphaF(), to.alphaF()));
}

} // namespace norvane::app
