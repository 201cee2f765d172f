#include "core/reads/PortfolioPageReads.h"

#include "core/analytics/InsightsService.h"
#include "core/analytics/PortfolioMetricsCalculator.h"
#include "core/analytics/WorkPatternService.h"
#include "core/models/MaturityMultiplier.h"
#include "core/models/Project.h"
#include "core/reads/ActivityQueries.h"
#include "core/reads/ProjectFigureReads.h"
#include "core/reads/SnapshotQueries.h"
#include "platform/LocalCalendar.h"

namespace norvane {

PortfolioPageReads::PortfolioPageReads(std::shared_ptr<platform::ModelContainer> store, platform::Clock clock,
                                       PortfolioMetricsService::DerivedRows rows)
    : store_(std::move(store)), clock_(std::move(clock)), rows_(std::move(rows)),
      context_(std::make_shared<platform::ModelContext>(store_)) {}

std::vector<PortfolioPageReads::ListedProject> PortfolioPageReads::listedProjects() {
    const auto now = clock_();
    std::vector<ListedProject> listed;
    for (const auto& project : context_->fetch<Project>({.predicate = ProjectField::status != ProjectStatus::archived,
                               .sortBy = {platform::ascending(ProjectField::name)}})) {
        ListedProject entry{project->info(), SnapshotQueries::newestCodeCount(*store_, project->persistentKey())};
        const std::int64_t code = entry.codeCount ? entry.codeCount->codeCategoryCode : 0;
        const std::int64_t complexity = entry.codeCount ? entry.codeCount->codeCategoryComplexity : 0;
        if (entry.codeCount) entry.sizeBucket = sizeBucketForLines(code);
        entry.maturityMultiplier = MaturityMultiplier::calculate(code, complexity, project->firstCommitAt, now).value;
        listed.push_back(std::move(entry));
    }
    return listed;
}

std::vector<PortfolioMetricsService::ThroughputPoint> PortfolioPageReads::throughput(int days) {
    return PortfolioMetricsService(context_, clock_, rows_).getDailyThroughputSeries(days);
}

std::vector<PortfolioMetricsService::ParallelismPoint> PortfolioPageReads::parallelism(int days) {
    return PortfolioMetricsService(context_, clock_, rows_).getParallelismSeries(days);
}

std::vector<Insight> PortfolioPageReads::insights() {
    return InsightsService(context_, clock_, rows_).generateInsights();
}

WorkPatterns PortfolioPageReads::workPatterns(int days) {
    return WorkPatternService::patternsOf(
        SnapshotQueries::historyMomentsSince(*store_, platform::LocalCalendar::addingDays(clock_(), -days)));
}

bool PortfolioPageReads::hasHistory() { return SnapshotQueries::hasHistory(*store_); }

OutputComposition PortfolioPageReads::composition(int days) {
    if (days < 1) return {};
    return PortfolioMetricsCalculator::composition(
        ActivityQueries::categorySums(*store_, PortfolioMetricsCalculator::windowStart(clock_(), days)));
}

std::set<platform::Date> PortfolioPageReads::activeDays() { return ActivityQueries::activeDays(*store_); }

bool PortfolioPageReads::hasActivity() { return ActivityQueries::hasAny(*store_); }

std::optional<double> PortfolioPageReads::retentionPercent(const ProjectInfo& project) {
    return ProjectFigureReads(store_, clock_).getVelocityRetention(project).retentionPercent;
}

} // namespace norvane
