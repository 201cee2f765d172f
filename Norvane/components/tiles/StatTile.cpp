#include "Norvane/components/tiles/StatTile.h"

#include "Norvane/components/controls/InfoTooltipButton.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

StatTile::StatTile(const QString& label, std::optional<MetricTooltip> tooltip, QWidget* parent)
    : TileFrame(parent),
      value_(new StyledLabel({}, Typography::font(TextStyle::title2, QFont::DemiBold), Palette::textPrimary())),
      caption_(new StyledLabel(label, Typography::font(TextStyle::caption), Palette::textSecondary())) {
    contentLayout()->addWidget(value_, 0, Qt::AlignHCenter);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(caption_);
    if (tooltip) {
        button_ = new InfoTooltipButton(*tooltip);
        row->addWidget(button_);
    }
    contentLayout()->addLayout(row);
    contentLayout()->setAlignment(row, Qt::AlignHCenter);
}

void StatTile::showValue(const QString& text, const QColor& color) {
    value_->setText(text);
    value_->setColor(color);
}

} // namespace norvane::app
