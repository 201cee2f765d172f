#pragma once

#include "Norvane/components/controls/MetricTooltip.h"
#include "Norvane/components/tiles/TileFrame.h"

#include <optional>

namespace norvane::app {

class InfoTooltipButton;
class StyledLabel;

/// A tile with a large value above a caption label, and the explanation button beside the label
/// when a tooltip is given.
class StatTile : public TileFrame {
    Q_OBJECT
public:
    StatTile(const QString& label, std::optional<MetricTooltip> tooltip, QWidget* parent = nullptr);

    const StyledLabel& valueLabel() const { return *value_; }
    const StyledLabel& captionLabel() const { return *caption_; }
    /// The explanation button, or none.
    const InfoTooltipButton* tooltipButton() const { return button_; }

protected:
    void showValue(const QString& text, const QColor& color);

private:
    StyledLabel* value_;
    StyledLabel* caption_;
    InfoTooltipButton* button_ = nullptr;
};

} // namespace norvane::app
