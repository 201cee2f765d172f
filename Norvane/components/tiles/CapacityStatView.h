#pragma once

#include "Norvane/components/tiles/StatTile.h"

namespace norvane::app {

/// Capacity utilisation as a whole percent, coloured by level.
class CapacityStatView : public StatTile {
    Q_OBJECT
public:
    CapacityStatView(double utilization, std::optional<MetricTooltip> tooltip, QWidget* parent = nullptr);

    void setUtilization(double utilization);

    /// Truncated toward zero, then "%" (72.9 gives 72%); "--" for a figure that cannot be shown.
    static QString capacityText(double utilization);
    /// Green from 80, amber from 50, red below; text-secondary for "--".
    static QColor capacityColor(double utilization);
};

} // namespace norvane::app
