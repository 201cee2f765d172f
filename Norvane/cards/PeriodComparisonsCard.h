#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/PortfolioMetrics.h"

#include <optional>

namespace norvane::app {

/// The portfolio's rolling leverage over the last week, two weeks and month beside the window just
/// before each: the current value and the change as an arrow, a signed percentage and a help text.
class PeriodComparisonsCard : public RoundedPanel {
    Q_OBJECT
public:
    struct ChangeIndicator {
        QString symbol;
        QColor color;
        /// "+12%", "-8%".
        QString text;
        QString help;
    };

    explicit PeriodComparisonsCard(const PortfolioMetrics& metrics, QWidget* parent = nullptr);

    void setMetrics(const PortfolioMetrics& metrics);

    /// Figures for every period: a card of them takes the room that figures still to come take.
    static PortfolioMetrics roomOfFigures();

    /// The change of `current` against `prior` in percent; none without a prior above 0, or when
    /// the change is not a figure that can be shown.
    static std::optional<double> changePercent(double current, std::optional<double> prior);
    /// Up above 5%, down below -5%, stable between (both ends included).
    static ChangeIndicator changeIndicator(double change);
    static QString changeHelp(double change);
};

} // namespace norvane::app
