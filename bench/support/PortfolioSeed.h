#pragma once

#include "core/models/Project.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace norvane {

/// The portfolios the benchmarks measure: projects with three years of history points and daily
/// activity.
struct PortfolioShape {
    int projectCount = 50;
    /// One history point per commit, as `norvane history` keeps them by default, each with its commit;
    /// else one a week, as collecting in the application samples them.
    bool everyCommit = false;

    /// "weekly" (50 projects, weekly points), "commits" (50 projects, every commit), "commits-200"
    /// (200 projects, every commit) or "commits-4" (4 projects, every commit); none for any other name.
    static std::optional<PortfolioShape> named(std::string_view name);
    /// The shape that NORVANE_BENCH_PORTFOLIO names, "weekly" when it is unset; throws for another name.
    static PortfolioShape chosen();
};

/// Fills a store with a portfolio of the given shape.
class PortfolioSeed {
public:
    static constexpr int historyDays = 3 * 365;

    /// Inserts the projects and their history, unsaved; returns the projects in creation order.
    static std::vector<std::shared_ptr<Project>> fill(platform::ModelContext& context,
                                                      const PortfolioShape& shape = {});
    /// Makes the store file of a user who has collected every project today: the portfolio with
    /// today's code count (with language rows) of each project, and commits on four days in five.
    static void seedStore(const std::filesystem::path& file, const PortfolioShape& shape);

private:
    static void addWeeklyHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p);
    static void addCommitHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p);
    static void addTodaysCount(platform::ModelContext& context, const std::shared_ptr<Project>& project, int p);
    static void addDailyActivity(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p);
};

} // namespace norvane
