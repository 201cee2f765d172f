#pragma once

#include "core/analytics/Insight.h"
#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/WorkPatterns.h"
#include "core/models/ProjectInfo.h"
#include "core/models/ProjectSizeBucket.h"
#include "core/reads/CodeCount.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace norvane {

/// What the portfolio page reads, as plain values: made for one load and dropped after it, so the
/// records that its series are computed from go with it. Sums and the newest code counts are read
/// in SQL; no history is held as records. Every read throws the store's error.
class PortfolioPageReads {
public:
    /// A project that is not archived, with its newest code count and what follows from it.
    struct ListedProject {
        ProjectInfo project;
        std::optional<CodeCount> codeCount;
        /// By the code count's code-category lines; greenfield without a count.
        ProjectSizeBucket sizeBucket = ProjectSizeBucket::greenfield;
        double maturityMultiplier = 1.0;
    };

    /// The series of the daily rows are read from `rows` where given (see PortfolioMetricsService).
    PortfolioPageReads(std::shared_ptr<platform::ModelContainer> store, platform::Clock clock = platform::systemClock(),
                       PortfolioMetricsService::DerivedRows rows = nullptr);

    /// Not archived, in name order.
    std::vector<ListedProject> listedProjects();
    std::vector<PortfolioMetricsService::ThroughputPoint> throughput(int days);
    std::vector<PortfolioMetricsService::ParallelismPoint> parallelism(int days);
    std::vector<Insight> insights();
    WorkPatterns workPatterns(int days);
    /// Whether any project's history was read: an empty window then only lacks commits.
    bool hasHistory();
    /// Of every project's daily rows over the last `days` days.
    OutputComposition composition(int days);
    /// The local days (their starts) with a commit in any project.
    std::set<platform::Date> activeDays();
    /// Whether there is any daily row at all.
    bool hasActivity();
    /// The project's velocity retention in percent; none when it cannot be told.
    std::optional<double> retentionPercent(const ProjectInfo& project);

private:
    std::shared_ptr<platform::ModelContainer> store_;
    platform::Clock clock_;
    PortfolioMetricsService::DerivedRows rows_;
    /// For the series that the analytics services compute from records of a few days; it lives as
    /// long as this read.
    std::shared_ptr<platform::ModelContext> context_;
};

} // namespace norvane
