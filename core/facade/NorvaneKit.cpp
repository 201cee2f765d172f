#include "core/facade/NorvaneKit.h"

#include "core/models/NorvaneDatabase.h"
#include "core/models/NorvaneError.h"

#include "platform/persistence/StoreError.h"

#include <mutex>

namespace norvane {

NorvaneKit& NorvaneKit::shared() {
    static std::mutex mutex;
    static std::unique_ptr<NorvaneKit> instance;
    std::lock_guard lock(mutex);
    if (!instance) {
        instance = std::make_unique<NorvaneKit>();
    }
    return *instance;
}

NorvaneKit::NorvaneKit() : NorvaneKit(NorvaneDatabase::makeContainer()) {}

NorvaneKit::NorvaneKit(std::shared_ptr<platform::ModelContainer> container, SccService scc)
    : container_(std::move(container)), context_(std::make_shared<platform::ModelContext>(container_)),
      projects_(context_), snapshots_(context_), scc_(scc), git_(), cocomo_(context_),
      // The application collects on a thread of its own: a failed collection must not undo what
      // the facade's callers have pending, so the collector has a context of its own.
      collector_(std::make_shared<platform::ModelContext>(container_), std::move(scc)), portfolioMetrics_(context_),
      store_(container_) {}

std::shared_ptr<Project> NorvaneKit::addProject(const std::string& name, const std::string& path,
                                                const std::optional<std::string>& description,
                                                ProjectType projectType) {
    if (git_.isBareRepository(path)) {
        throw NorvaneError::bareRepository(path);
    }
    return projects_.createProject(name, path, description, projectType);
}

std::vector<std::shared_ptr<Project>> NorvaneKit::listProjects(bool includeArchived) {
    return projects_.getAllProjects(includeArchived);
}

std::shared_ptr<Project> NorvaneKit::findProject(const std::string& name) { return projects_.getProject(name); }

std::shared_ptr<Snapshot> NorvaneKit::getLatestSnapshot(const std::shared_ptr<Project>& project) {
    const auto newest = snapshots_.getSnapshots(project, 1);
    return newest.empty() ? nullptr : newest.front();
}

void NorvaneKit::archiveProject(const std::shared_ptr<Project>& project) { projects_.archiveProject(project); }

void NorvaneKit::deleteProject(const std::shared_ptr<Project>& project) { projects_.deleteProject(project); }

std::vector<CollectionResult> NorvaneKit::collect() { return collector_.collectAll(); }

CollectionResult NorvaneKit::collect(const std::string& project) { return collector_.collectProject(project); }

HistoryImportResult NorvaneKit::collectHistory(const std::string& project, std::optional<int> sampleInterval,
                                               const Collector::HistoryProgress& progress) {
    const auto found = projects_.getProject(project);
    if (!found) {
        throw NorvaneError::projectNotFound(project);
    }
    const auto result = collector_.collectHistory(found, sampleInterval.value_or(0), progress);
    if (result.error) {
        if (result.error->norvaneError) {
            throw *result.error->norvaneError;
        }
        if (result.error->storeKeptWaiting) throw platform::StoreBusyError(result.error->message);
        throw platform::StoreError(result.error->message);
    }
    return result;
}

int NorvaneKit::collectHistoryAll(std::optional<int> sampleInterval, const HistoryAllProgress& progress) {
    int total = 0;
    for (const auto& project : projects_.getAllProjects(false)) {
        const auto forward = [&progress, &project](int current, int count, const GitCommit& commit) {
            if (progress) {
                progress(project->name, current, count, commit);
            }
        };
        total += collector_.collectHistory(project, sampleInterval.value_or(0), forward).snapshotCount;
    }
    return total;
}

PortfolioLeverage NorvaneKit::getPortfolioLeverage() { return cocomo_.calculatePortfolioLeverage(); }

std::vector<Insight> NorvaneKit::generateInsights() { return InsightsService(context_).generateInsights(); }

int NorvaneKit::buildPortfolioSnapshots() { return portfolioMetrics_.buildDailySnapshots(); }

PortfolioMetrics NorvaneKit::getPortfolioMetrics() { return portfolioMetrics_.calculateMetrics(7); }

std::vector<PortfolioMetricsService::ThroughputPoint> NorvaneKit::getDailyThroughputSeries(int days) {
    return portfolioMetrics_.getDailyThroughputSeries(days);
}

std::vector<PortfolioMetricsService::ParallelismPoint> NorvaneKit::getParallelismSeries(int days) {
    return portfolioMetrics_.getParallelismSeries(days);
}

std::shared_ptr<AppSettings> NorvaneKit::getSettings() { return cocomo_.getSettings(); }

void NorvaneKit::updateSettings(std::optional<double> averageWage, std::optional<double> overhead,
                                std::optional<int64_t> headcount, std::optional<ProjectType> defaultProjectType) {
    cocomo_.updateSettings(averageWage, overhead, headcount, defaultProjectType);
}

} // namespace norvane
