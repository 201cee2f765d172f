#pragma once

#include "core/analytics/MilestoneProgress.h"
#include "core/models/Project.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>

namespace norvane {

/// Finds when a project's history first reached each cost and line-count figure.
class MilestoneService {
public:
    explicit MilestoneService(std::shared_ptr<platform::ModelContext> context) : context_(std::move(context)) {}
    virtual ~MilestoneService() = default;

    /// Reads only the project's history snapshots; a project without any has reached nothing.
    virtual MilestoneProgress getMilestones(const std::shared_ptr<Project>& project) const;
    /// Mean days to reach `type` over every project that reached it, truncated toward zero; none
    /// when no project did. Throws the store's fetch error.
    virtual std::optional<int> getAverageTimeToMilestone(MilestoneType type) const;

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
};

} // namespace norvane
