#pragma once

#include "core/analytics/Milestone.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace norvane {

/// The milestones a project reached and how far it is towards the next cost milestone.
struct MilestoneProgress {
    /// Ascending by `reachedAt`.
    std::vector<Milestone> reached;
    /// The first cost milestone not reached; none once all four are.
    std::optional<MilestoneType> nextMilestone = MilestoneType::value10k;
    /// 0 to 1 from the previous cost threshold to the next; present exactly when `nextMilestone` is.
    std::optional<double> progressToNext = 0.0;
    /// The newest history snapshot's estimated cost, US dollars.
    double currentValue = 0;
    /// The newest history snapshot's lines changed.
    std::int64_t currentSloc = 0;
};

} // namespace norvane
