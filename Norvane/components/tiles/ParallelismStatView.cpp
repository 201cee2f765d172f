#include "Norvane/components/tiles/ParallelismStatView.h"

#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

ParallelismStatView::ParallelismStatView(double parallelism, std::optional<MetricTooltip> tooltip, QWidget* parent)
    : StatTile(QStringLiteral("Parallelism"), tooltip, parent) {
    setParallelism(parallelism);
}

void ParallelismStatView::setParallelism(double parallelism) {
    const QString text = parallelismText(parallelism);
    showValue(text, isNoValueText(text) ? Palette::textSecondary() : Palette::textPrimary());
}

QString ParallelismStatView::parallelismText(double parallelism) { return formatFixed(parallelism, 1); }

} // namespace norvane::app
