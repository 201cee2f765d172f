#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/MilestoneProgress.h"

#include <optional>
#include <vector>

namespace norvane::app {

/// One project's milestones: the way to its next cost milestone with the average days projects
/// took to reach it, and the milestones it reached with the days each took.
class MilestonesCard : public RoundedPanel {
    Q_OBJECT
public:
    MilestonesCard(const MilestoneProgress& progress, std::optional<int> averageDaysToNext, QWidget* parent = nullptr);

    void setProgress(const MilestoneProgress& progress, std::optional<int> averageDaysToNext);

    /// Nothing reached and no next milestone.
    static bool showsEmptyState(const MilestoneProgress& progress);
    /// The progress cut toward zero to a whole percent (0.29 reads 29%).
    static QString percentageText(double progressToNext);
    /// The cost milestones first, then the line-count ones, each group in the given order.
    static std::vector<Milestone> gridOrder(const std::vector<Milestone>& reached);
    static QString reachedTooltip(const Milestone& milestone);
};

} // namespace norvane::app
