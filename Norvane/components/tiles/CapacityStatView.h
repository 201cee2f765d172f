#pragma once

#include "Norvane/components/tiles/StatTile.h"

namespace norvane::app {

/// Capacity utilisation as a whole percent, coloured by level.
class CapacityStatView : public StatTile {
    Q_OBJECT
public:
    CapacityStatView(double utilization, std::optional<MetricTooltip> tooltip, QWidget* parent = nullptr);

    void setUtilization(double utilization);

    /// Cut toward zero by the core's display rule, then "%" (72.9 gives 72%, 0.29 × 100 gives 29%);
    /// "--" for a figure that cannot be shown.
    static QString capacityText(double utilization);
    /// Green from 80, amber from 50, red below; text-secondary for "--".
    static QColor capacityColor(double utilization);
};

} // namespace norvane::app
