#pragma once

#include "Norvane/state/CollectionService.h"
#include "Norvane/state/IndexClient.h"
#include "Norvane/state/MetricsSource.h"

namespace norvane::app {

/// The collector of the core library's shared facade. The facade is reached on every call, so a
/// store that could not be opened is tried again next time.
class KitCollectionService : public CollectionService {
public:
    std::vector<CollectionResult> collectAll() override;
    CollectionResult collectProject(const std::string& name) override;
    void importHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) override;
};

/// The portfolio figures over the shared facade's context.
class KitMetricsSource : public MetricsSource {
public:
    void rebuildDailySnapshots() override;
    PortfolioMetrics computePortfolioMetrics(int days) override;
    std::vector<LeveragePoint> rollingLeverageSeries(int windowDays, int spanDays) override;
    std::vector<std::shared_ptr<Project>> fetchProjects(bool includeArchived) override;
    std::shared_ptr<Project> findProject(const std::string& name) override;
    ProjectRollingLeverage projectRollingLeverage(const std::shared_ptr<Project>& project) override;
    OutputComposition projectComposition(const std::shared_ptr<Project>& project, int days) override;
    VelocityRetention velocityRetention(const std::shared_ptr<Project>& project) override;
    std::vector<VelocityPoint> projectVelocitySeries(const std::shared_ptr<Project>& project, int days) override;
};

/// The process-wide benchmark client.
class SharedIndexClient : public IndexClient {
public:
    void configure(bool isEnabled, std::optional<std::string> deviceId) override;
    void submit(const DailyActivity& activity, const Project& project,
                const std::optional<VelocityRetention>& retention) override;
};

} // namespace norvane::app
