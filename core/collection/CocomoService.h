#pragma once

#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/Project.h"
#include "core/models/Snapshot.h"

#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <vector>

namespace norvane {

/// The portfolio's estimate, its leverage, and the first commit it is measured from.
struct PortfolioLeverage {
    CocomoEstimate estimate;
    double leverage = 0;
    std::optional<platform::Date> startDate;
};

/// Applies the COCOMO estimate to what the store holds, and owns the settings record that gives
/// the cost parameters. Store errors pass to the caller unchanged.
class CocomoService {
public:
    explicit CocomoService(std::shared_ptr<platform::ModelContext> context,
                           platform::Clock clock = platform::systemClock());

    /// With the given settings, or the stored ones when none are given.
    CocomoEstimate calculateEstimate(int64_t sloc, ProjectType projectType,
                                     const std::shared_ptr<AppSettings>& settings = nullptr);
    /// The snapshot's code lines in its project's mode (organic without a project).
    CocomoEstimate calculateEstimate(const std::shared_ptr<Snapshot>& snapshot);
    /// The estimate of the project's newest snapshot of any type; none without snapshots.
    std::optional<CocomoEstimate> calculateEstimate(const std::shared_ptr<Project>& project);
    /// The stored headcount unless one is given.
    double calculateLeverage(const CocomoEstimate& estimate, int64_t calendarDays, std::optional<int64_t> headcount);
    /// The projects that are not archived, estimated as one codebase of their summed size.
    CocomoEstimate calculatePortfolioEstimate();
    CocomoEstimate calculatePortfolioEstimate(const std::vector<std::shared_ptr<Project>>& projects,
                                              const AppSettings& settings);
    PortfolioLeverage calculatePortfolioLeverage();

    /// The stored settings; created with the defaults and saved when the store has none.
    std::shared_ptr<AppSettings> getSettings();
    /// Saves the context, and with it every pending change.
    void saveSettings(const std::shared_ptr<AppSettings>& settings);
    /// Sets each given field of the stored settings and saves.
    void updateSettings(std::optional<double> averageWage, std::optional<double> overhead,
                        std::optional<int64_t> headcount, std::optional<ProjectType> defaultProjectType);

private:
    std::vector<std::shared_ptr<Project>> activeProjects();

    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
};

} // namespace norvane
