#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/ProductivityStreak.h"

#include <optional>

namespace norvane::app {

class CapsuleBadge;
class SymbolLabel;

/// The shipping streak: the days in a row with code activity, the milestone they reach with its
/// emoji and message, the way to the next milestone, the best streak and the day it began. Without
/// a streak it invites the user to start one.
class StreakCard : public RoundedPanel {
    Q_OBJECT
public:
    explicit StreakCard(const std::optional<ProductivityStreak>& streak, QWidget* parent = nullptr);

    void setStreak(const std::optional<ProductivityStreak>& streak);

    /// Secondary text below a day, then amber brightening at a week and at a month.
    static QColor flameColor(const std::optional<ProductivityStreak>& streak);
    /// The current milestone's message, "Keep going!" below a week, none without a streak day.
    static std::optional<QString> milestoneMessage(const ProductivityStreak& streak);
    /// The share of the way from the current milestone (or 0) to the next; none without a next.
    static std::optional<double> progressTowardNext(const ProductivityStreak& streak);
    /// "1 days to go": the unit stays plural.
    static std::optional<QString> daysToGoText(const ProductivityStreak& streak);
    static bool showsBest(const ProductivityStreak& streak);
    static std::optional<QString> startedText(const ProductivityStreak& streak);

    const SymbolLabel& flame() const { return *flame_; }
    const CapsuleBadge& activeBadge() const { return *badge_; }

private:
    SymbolLabel* flame_;
    CapsuleBadge* badge_;
};

} // namespace norvane::app
