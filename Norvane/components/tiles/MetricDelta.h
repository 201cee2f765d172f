#pragma once

#include <QString>

namespace norvane::app {

/// The change shown under a headline figure: its sign picks the arrow and colour, `formatted` is
/// the text beside the arrow.
struct MetricDelta {
    double value = 0.0;
    QString formatted;
};

} // namespace norvane::app
