#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Norvane/state/MetricsSource.h"

namespace norvane::app {

/// One refresh of the application state's metrics cache as plain values, read off the GUI thread
/// in the order the cache takes them: the daily rows derived from the history and stored, the 7-day
/// portfolio figures and the rolling-leverage series of those rows, then each project that is not
/// archived. The first failure of a portfolio step ends the reads; a project's failure ends that
/// project's. The figures come from the rows as the history gives them, whether or not the store
/// took them: another program that holds the store keeps them from being written, never from being
/// true, and the rows are stored once it lets go.
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

    /// What became of storing the derived daily rows.
    struct RowsStored {
        /// The rows, while the store does not hold them: what reads them reads these meanwhile.
        MetricsSource::DailyRows unsaved;
        /// Why they were not stored.
        std::optional<std::string> failure;
        /// Another program kept the store from taking them: they are to be stored once it lets go.
        bool keptWaiting = false;

        /// Stores `rows` unless another program holds the store now: nothing waits for it.
        static RowsStored store(MetricsSource& source, const MetricsSource::DailyRows& rows);
    };

    std::optional<PortfolioMetrics> metrics;
    std::optional<std::vector<MetricsSource::LeveragePoint>> rollingLeverage;
    std::vector<ProjectFigures> projects;
    /// None when the rows could not be derived.
    std::optional<RowsStored> rows;
    /// What stopped the portfolio steps; then the cache is not counted as loaded.
    std::optional<std::string> failure;
    /// Why a read waited for another program in vain: the refresh is to be made again once that
    /// program lets go.
    std::optional<std::string> keptWaiting;

    static MetricsRefresh read(MetricsSource& source);
};

} // namespace norvane::app
