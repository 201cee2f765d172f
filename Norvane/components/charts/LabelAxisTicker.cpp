#include "Norvane/components/charts/LabelAxisTicker.h"

#include <cmath>

namespace norvane::app {
namespace {

// Beyond this many marks the axis is no place to read labels anyway.
constexpr double maximumMarks = 100;
constexpr int maximumWidenings = 12;

/// The next of the round steps 1, 2 and 5 times a power of ten above `step`.
double nextRoundStep(double step) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(step)));
    const double mantissa = step / magnitude;
    if (mantissa < 1.999) return 2 * magnitude;
    if (mantissa < 4.999) return 5 * magnitude;
    return 10 * magnitude;
}

} // namespace

double LabelAxisTicker::getTickStep(const QCPRange& range) {
    double step = QCPAxisTicker::getTickStep(range);
    for (int widening = 0; widening < maximumWidenings && labelsRepeat(range, step); ++widening) {
        step = nextRoundStep(step);
    }
    return step;
}

bool LabelAxisTicker::labelsRepeat(const QCPRange& range, double step) const {
    if (!(step > 0) || !std::isfinite(step) || range.size() / step > maximumMarks) return false;
    QString previous;
    for (double mark = std::ceil(range.lower / step) * step; mark <= range.upper; mark += step) {
        const QString label = labelText_(mark);
        if (!label.isEmpty() && label == previous) return true;
        previous = label;
    }
    return false;
}

} // namespace norvane::app
