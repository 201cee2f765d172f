#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/Insight.h"

namespace norvane::app {

class ColorDot;
class StyledLabel;
class SymbolLabel;

/// One insight: its symbol tinted by its kind, its title and wrapping message, and a dot whose
/// colour tells its priority.
class InsightCard : public RoundedPanel {
    Q_OBJECT
public:
    explicit InsightCard(const Insight& insight, QWidget* parent = nullptr);

    static QColor symbolColor(InsightType type);
    static QColor dotColor(InsightPriority priority);

    const platform::Uuid& insightId() const { return id_; }
    const SymbolLabel& symbol() const { return *symbol_; }
    const StyledLabel& messageLabel() const { return *message_; }
    const ColorDot& priorityDot() const { return *dot_; }

private:
    platform::Uuid id_;
    SymbolLabel* symbol_;
    StyledLabel* message_;
    ColorDot* dot_;
};

} // namespace norvane::app
