#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetrics.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/ProjectRollingLeverage.h"
#include "core/analytics/VelocityRetention.h"
#include "core/models/Project.h"

namespace norvane::app {

/// The store reads and portfolio figures that the application state caches, on the main thread.
/// Each call may throw the store's error (including a store that cannot be opened).
class MetricsSource {
public:
    using LeveragePoint = PortfolioMetricsService::LeveragePoint;
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;

    virtual ~MetricsSource() = default;

    virtual void rebuildDailySnapshots() = 0;
    virtual PortfolioMetrics computePortfolioMetrics(int days) = 0;
    virtual std::vector<LeveragePoint> rollingLeverageSeries(int windowDays, int spanDays) = 0;
    /// Sorted by name; archived projects only when asked for.
    virtual std::vector<std::shared_ptr<Project>> fetchProjects(bool includeArchived) = 0;
    /// The project with exactly this name, or null.
    virtual std::shared_ptr<Project> findProject(const std::string& name) = 0;
    virtual ProjectRollingLeverage projectRollingLeverage(const std::shared_ptr<Project>& project) = 0;
    virtual OutputComposition projectComposition(const std::shared_ptr<Project>& project, int days) = 0;
    virtual VelocityRetention velocityRetention(const std::shared_ptr<Project>& project) = 0;
    virtual std::vector<VelocityPoint> projectVelocitySeries(const std::shared_ptr<Project>& project, int days) = 0;
};

} // namespace norvane::app
