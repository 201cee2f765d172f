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
#include "core/reads/ProjectListing.h"

namespace norvane::app {

/// The project reads and portfolio figures that the application state caches, as plain values;
/// each figure is the portfolio metrics service's operation of the same name. The state's metrics
/// worker and the scheduler on the main thread call it, so it must be safe from two threads. Each
/// call may throw the store's error (including a store that cannot be opened).
class MetricsSource {
public:
    using LeveragePoint = PortfolioMetricsService::LeveragePoint;
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;
    using DailyRows = PortfolioMetricsService::DerivedRows;

    virtual ~MetricsSource() = default;

    /// The daily portfolio rows as the history gives them, made in memory.
    virtual DailyRows deriveDailySnapshots() = 0;
    /// Stores `rows` as the daily portfolio rows.
    virtual void saveDailySnapshots(const DailyRows& rows) = 0;
    /// The figures of the daily rows are those of `rows`.
    virtual PortfolioMetrics calculateMetrics(int windowDays, const DailyRows& rows) = 0;
    virtual std::vector<LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays,
                                                                const DailyRows& rows) = 0;
    /// Sorted by name; archived projects only when asked for.
    virtual std::vector<ProjectListing> listProjects(bool includeArchived) = 0;
    virtual ProjectRollingLeverage calculateProjectRollingLeverage(const ProjectInfo& project) = 0;
    virtual OutputComposition getOutputComposition(const ProjectInfo& project, int days) = 0;
    virtual VelocityRetention getVelocityRetention(const ProjectInfo& project) = 0;
    virtual std::vector<VelocityPoint> getVelocityTimeSeries(const ProjectInfo& project, int days) = 0;
};

} // namespace norvane::app
