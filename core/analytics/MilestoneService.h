#pragma once

#include "core/analytics/HistoryPoint.h"
#include "core/analytics/MilestoneProgress.h"
#include "core/models/Project.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <vector>

namespace norvane {

/// Finds when a project's history first reached each cost and line-count figure.
class MilestoneService {
public:
    explicit MilestoneService(std::shared_ptr<platform::ModelContext> context) : context_(std::move(context)) {}
    virtual ~MilestoneService() = default;

    /// Reads only the project's history snapshots; a project without any has reached nothing.
    virtual MilestoneProgress getMilestones(const std::shared_ptr<Project>& project) const;
    /// The milestones of a history (oldest point first) of a project whose first commit, if known,
    /// is `firstCommitAt`; days count from it, else from the first point.
    static MilestoneProgress progressOf(const std::vector<HistoryPoint>& history,
                                        std::optional<platform::Date> firstCommitAt);
    /// Mean days to reach `type` over every project that reached it, truncated toward zero; none
    /// when no project did. Throws the store's fetch error.
    virtual std::optional<int> getAverageTimeToMilestone(MilestoneType type) const;
    /// The mean of the projects' days to a milestone, truncated toward zero; none without any.
    static std::optional<int> averageDays(const std::vector<int>& days);

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
};

} // namespace norvane
