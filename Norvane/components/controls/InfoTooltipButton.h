#pragma once

#include "Norvane/components/controls/MetricTooltip.h"

#include <QAbstractButton>

namespace norvane::app {

class Popover;
class SymbolLabel;

/// A small question-mark button; a click opens a popover with the metric's title and
/// explanation, a second click closes it.
class InfoTooltipButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit InfoTooltipButton(MetricTooltip tooltip, QWidget* parent = nullptr);

    MetricTooltip tooltip() const { return tooltip_; }
    bool isShowingPopover() const { return showingPopover_; }
    /// The open popover, or none.
    const Popover* popover() const { return popover_; }
    const SymbolLabel& symbol() const { return *symbol_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void toggle();

    MetricTooltip tooltip_;
    SymbolLabel* symbol_;
    bool showingPopover_ = false;
    Popover* popover_ = nullptr;
};

} // namespace norvane::app
