#pragma once

#include "core/analytics/InsightsService.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/collection/CocomoService.h"
#include "core/collection/Collector.h"
#include "core/collection/GitService.h"
#include "core/collection/SccService.h"
#include "core/facade/NorvaneStore.h"
#include "core/models/BuildConfiguration.h"
#include "core/models/ProjectService.h"
#include "core/models/SnapshotService.h"

#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/ModelContext.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

/// The core library's front door: opens the store, keeps one context over it and the services
/// that work on it. Collections run synchronously on the caller's thread.
class NorvaneKit {
public:
    static constexpr std::string_view version = BuildConfiguration::version;
    static constexpr std::string_view bundleIdentifier = "app.norvane.NorvaneKit";

    /// Project name, place among its sampled commits, their number, and the commit.
    using HistoryAllProgress =
        std::function<void(const std::string& project, int current, int total, const GitCommit& commit)>;

    /// The process-wide instance on the store file, created on first use. A failure reaches the
    /// caller and leaves nothing behind, so the next call tries again. Safe from several threads.
    static NorvaneKit& shared();

    /// A facade on the store file; fails with the store's error.
    NorvaneKit();
    /// A facade over the given container (for example an in-memory one).
    explicit NorvaneKit(std::shared_ptr<platform::ModelContainer> container, SccService scc = SccService());

    NorvaneKit(const NorvaneKit&) = delete;
    NorvaneKit& operator=(const NorvaneKit&) = delete;

    const std::shared_ptr<platform::ModelContainer>& container() const { return container_; }
    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }
    ProjectService& projects() { return projects_; }
    SnapshotService& snapshots() { return snapshots_; }
    Collector& collector() { return collector_; }
    const SccService& scc() const { return scc_; }
    const GitService& git() const { return git_; }
    CocomoService& cocomo() { return cocomo_; }
    PortfolioMetricsService& portfolioMetrics() { return portfolioMetrics_; }
    /// Plain figures of this facade's store, read without keeping records in its context.
    const NorvaneStore& store() const { return store_; }

    /// Fails with NorvaneError bareRepository, duplicateName, then pathNotFound or pathNotDirectory.
    std::shared_ptr<Project> addProject(const std::string& name, const std::string& path,
                                        const std::optional<std::string>& description, ProjectType projectType);
    std::vector<std::shared_ptr<Project>> listProjects(bool includeArchived = false);
    std::shared_ptr<Project> findProject(const std::string& name);
    std::shared_ptr<Snapshot> getLatestSnapshot(const std::shared_ptr<Project>& project);
    void archiveProject(const std::shared_ptr<Project>& project);
    void deleteProject(const std::shared_ptr<Project>& project);
    bool isSccAvailable() const { return scc_.isAvailable(); }

    /// Collector::collectAll: a result for every project collected; throws the store's error when
    /// the projects cannot be listed.
    std::vector<CollectionResult> collect();
    CollectionResult collect(const std::string& project);
    /// Imports the named project's history (no interval: every commit). Fails with NorvaneError
    /// projectNotFound, or with the store's error when the history could not be stored
    /// (StoreBusyError where another program kept the store locked meanwhile).
    HistoryImportResult collectHistory(const std::string& project, std::optional<int> sampleInterval = std::nullopt,
                                       const Collector::HistoryProgress& progress = {});
    /// Every project that is not archived, one after another; the number of history snapshots
    /// over all of them. A store whose projects cannot be listed throws, rather than importing
    /// nothing as if there were none.
    int collectHistoryAll(std::optional<int> sampleInterval = std::nullopt, const HistoryAllProgress& progress = {});

    PortfolioLeverage getPortfolioLeverage();
    /// The portfolio's insights from a temporary InsightsService over this facade's context.
    std::vector<Insight> generateInsights();
    /// Rebuilds the daily portfolio rows; the number of days with history.
    int buildPortfolioSnapshots();
    /// The portfolio figures of the last 7 days.
    PortfolioMetrics getPortfolioMetrics();
    std::vector<PortfolioMetricsService::ThroughputPoint> getDailyThroughputSeries(int days);
    std::vector<PortfolioMetricsService::ParallelismPoint> getParallelismSeries(int days);
    std::shared_ptr<AppSettings> getSettings();
    void updateSettings(std::optional<double> averageWage, std::optional<double> overhead,
                        std::optional<int64_t> headcount, std::optional<ProjectType> defaultProjectType);

private:
    std::shared_ptr<platform::ModelContainer> container_;
    std::shared_ptr<platform::ModelContext> context_;
    ProjectService projects_;
    SnapshotService snapshots_;
    SccService scc_;
    GitService git_;
    CocomoService cocomo_;
    Collector collector_;
    PortfolioMetricsService portfolioMetrics_;
    NorvaneStore store_;
};

} // namespace norvane
