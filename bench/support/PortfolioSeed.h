#pragma once

#include "core/models/Project.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <vector>

namespace norvane {

/// Fills a store with the portfolio the benchmarks measure: 50 projects, each with three years of
/// weekly history points and daily activity.
class PortfolioSeed {
public:
    static constexpr int projectCount = 50;
    static constexpr int historyDays = 3 * 365;

    /// Inserts the projects and their history, unsaved; returns the projects in creation order.
    static std::vector<std::shared_ptr<Project>> fill(platform::ModelContext& context);

private:
    static void addWeeklyHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p);
    static void addDailyActivity(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p);
};

} // namespace norvane
