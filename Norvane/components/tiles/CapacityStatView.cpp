#include "Norvane/components/tiles/CapacityStatView.h"

#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

CapacityStatView::CapacityStatView(double utilization, std::optional<MetricTooltip> tooltip, QWidget* parent)
    : StatTile(QStringLiteral("Capacity"), tooltip, parent) {
    setUtilization(utilization);
}

void CapacityStatView::setUtilization(double utilization) {
    showValue(capacityText(utilization), capacityColor(utilization));
}

QString CapacityStatView::capacityText(double utilization) { return formatTruncatedPercent(utilization); }

QColor CapacityStatView::capacityColor(double utilization) {
    if (!isShowableNumber(utilization)) {
        return Palette::textSecondary();
    }
    if (utilization >= 80.0) {
        return Palette::green();
    }
    return utilization >= 50.0 ? Palette::amber() : Palette::red();
}

} // namespace norvane::app
