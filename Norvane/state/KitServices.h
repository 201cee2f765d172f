#pragma once

#include <functional>
#include <optional>

#include "Norvane/state/CollectionService.h"
#include "Norvane/state/IndexClient.h"
#include "Norvane/state/MetricsSource.h"
#include "core/facade/NorvaneKit.h"

namespace norvane {
class NorvaneIndexService;
}

namespace norvane::app {

/// The collector of the core library's shared facade (or of the facade a test hands in). The
/// facade is reached on every call, so a store that could not be opened is tried again next time.
class KitCollectionService : public CollectionService {
public:
    using Kit = std::function<NorvaneKit&()>;

    explicit KitCollectionService(Kit kit = &NorvaneKit::shared) : kit_(std::move(kit)) {}

    std::vector<CollectionResult> collectAll() override;
    CollectionResult collectProject(const std::string& name) override;
    void collectHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) override;
    std::shared_ptr<Project> addProject(const NewProject& project) override;
    InitialCollectionResult collectInitialData(const std::shared_ptr<Project>& project,
                                               const InitialProgress& progress) override;

private:
    Kit kit_;
};

/// The store it is given, read as plain figures (the application hands in its own); or the shared
/// facade's store, reached on every call like the collector.
class KitMetricsSource : public MetricsSource {
public:
    KitMetricsSource() = default;
    explicit KitMetricsSource(NorvaneStore store) : store_(std::move(store)) {}

    DailyRows deriveDailySnapshots() override;
    void saveDailySnapshots(const DailyRows& rows) override;
    PortfolioMetrics calculateMetrics(int windowDays, const DailyRows& rows) override;
    std::vector<LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays, const DailyRows& rows) override;
    std::vector<ProjectListing> listProjects(bool includeArchived) override;
    ProjectRollingLeverage calculateProjectRollingLeverage(const ProjectInfo& project) override;
    OutputComposition getOutputComposition(const ProjectInfo& project, int days) override;
    VelocityRetention getVelocityRetention(const ProjectInfo& project) override;
    std::vector<VelocityPoint> getVelocityTimeSeries(const ProjectInfo& project, int days) override;

private:
    const NorvaneStore& store() const;

    std::optional<NorvaneStore> store_;
};

/// The process-wide benchmark client, or one that tests point at a service of their own.
class SharedIndexClient : public IndexClient {
public:
    SharedIndexClient();
    explicit SharedIndexClient(NorvaneIndexService& service) : service_(service) {}

    void configure(bool isEnabled, std::optional<std::string> deviceId) override;
    std::future<void> submit(const DailyActivityInfo& activity, const ProjectInfo& project,
                             const std::optional<SnapshotInfo>& newestCodeCount,
                             const std::optional<VelocityRetention>& retention) override;
    std::future<std::size_t> pendingReportCount() override;
    std::future<std::optional<std::string>> pendingReportsSaveFailure() override;
    std::future<void> forgetDevice(std::string deviceId) override;
    std::future<bool> isForgotten(std::string deviceId) override;
    std::future<void> requestDeletion(std::string deviceId) override;
    std::future<std::optional<UserPercentiles>> calculatePercentiles(std::optional<double> throughput,
                                                                     std::optional<double> velocityRetention,
                                                                     std::optional<double> activeDaysPerWeek,
                                                                     ProjectSizeBucket sizeBucket) override;
    std::future<std::optional<CachedBenchmarks>> cachedBenchmarks() override;

private:
    NorvaneIndexService& service_;
};

} // namespace norvane::app
