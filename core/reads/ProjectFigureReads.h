#pragma once

#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/ProjectRollingLeverage.h"
#include "core/analytics/VelocityRetention.h"
#include "core/models/ProjectInfo.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <memory>
#include <vector>

namespace norvane {

/// One project's figures that the application caches and lists: those of the portfolio metrics
/// service's operations of the same names, read in SQL over the stored rows instead of records.
/// A project that is no longer stored has none of the rows they read. Throws the store's error.
class ProjectFigureReads {
public:
    explicit ProjectFigureReads(std::shared_ptr<platform::ModelContainer> store,
                                platform::Clock clock = platform::systemClock())
        : store_(std::move(store)), clock_(std::move(clock)) {}

    ProjectRollingLeverage calculateProjectRollingLeverage(const ProjectInfo& project) const;
    OutputComposition getOutputComposition(const ProjectInfo& project, int days) const;
    VelocityRetention getVelocityRetention(const ProjectInfo& project) const;
    std::vector<PortfolioMetricsService::VelocityPoint> getVelocityTimeSeries(const ProjectInfo& project,
                                                                              int days) const;

private:
    std::shared_ptr<platform::ModelContainer> store_;
    platform::Clock clock_;
};

} // namespace norvane
