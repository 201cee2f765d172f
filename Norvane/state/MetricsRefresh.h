#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Norvane/state/MetricsSource.h"

namespace norvane::app {

/// One refresh of the application state's metrics cache as plain values, read off the GUI thread
/// in the order the cache takes them: the daily rows rebuilt, the 7-day portfolio figures, the
/// rolling-leverage series, then each project that is not archived. The first failure of a
/// portfolio step ends the reads; a project's failure ends that project's. The daily rows are
/// rebuilt only where no other program holds the store, without waiting: the figures are read from
/// the rows as they are, and the refresh is to be made again.
struct MetricsRefresh {
    struct ProjectFigures {
        ProjectInfo project;
        std::optional<ProjectRollingLeverage> leverage;
        std::optional<OutputComposition> composition;
        std::optional<VelocityRetention> retention;
        std::optional<std::vector<MetricsSource::VelocityPoint>> velocity;
        /// What stopped the project's reads.
        std::optional<std::string> failure;
    };

    std::optional<PortfolioMetrics> metrics;
    std::optional<std::vector<MetricsSource::LeveragePoint>> rollingLeverage;
    std::vector<ProjectFigures> projects;
    /// What stopped the portfolio steps; then the cache is not counted as loaded.
    std::optional<std::string> failure;
    /// Why a step waited for another program in vain (the rows' rebuild, or a read): the refresh
    /// is to be made again once that program lets go.
    std::optional<std::string> keptWaiting;

    static MetricsRefresh read(MetricsSource& source);
};

} // namespace norvane::app
