#pragma once

#include "Norvane/components/tiles/StatTile.h"

namespace norvane::app {

/// The mean number of projects worked on in parallel, with one decimal.
class ParallelismStatView : public StatTile {
    Q_OBJECT
public:
    ParallelismStatView(double parallelism, std::optional<MetricTooltip> tooltip, QWidget* parent = nullptr);

    void setParallelism(double parallelism);

    /// "%.1f"; "--" for a figure that cannot be shown.
    static QString parallelismText(double parallelism);
};

} // namespace norvane::app
