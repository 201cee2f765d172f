#include "Norvane/state/KitServices.h"

#include "core/benchmarks/NorvaneIndexService.h"
#include "core/models/NorvaneKit.h"

namespace norvane::app {
namespace {

PortfolioMetricsService portfolioMetrics() { return PortfolioMetricsService(NorvaneKit::shared().context()); }

} // namespace

std::vector<CollectionResult> KitCollectionService::collectAll() { return NorvaneKit::shared().collect(); }

CollectionResult KitCollectionService::collectProject(const std::string& name) {
    return NorvaneKit::shared().collect(name);
}

void KitCollectionService::importHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) {
    NorvaneKit::shared().collectHistory(name, intervalDays,
                                        [&progress](int current, int total, const GitCommit&) {
                                            if (progress) progress(current, total);
                                        });
}

void KitMetricsSource::rebuildDailySnapshots() { portfolioMetrics().buildDailySnapshots(); }

PortfolioMetrics KitMetricsSource::computePortfolioMetrics(int days) { return portfolioMetrics().calculateMetrics(days); }

std::vector<MetricsSource::LeveragePoint> KitMetricsSource::rollingLeverageSeries(int windowDays, int spanDays) {
    return portfolioMetrics().getRollingLeverageSeries(windowDays, spanDays);
}

std::vector<std::shared_ptr<Project>> KitMetricsSource::fetchProjects(bool includeArchived) {
    return NorvaneKit::shared().projects().getAllProjects(includeArchived);
}

std::shared_ptr<Project> KitMetricsSource::findProject(const std::string& name) {
    return NorvaneKit::shared().projects().getProject(name);
}

ProjectRollingLeverage KitMetricsSource::projectRollingLeverage(const std::shared_ptr<Project>& project) {
    return portfolioMetrics().calculateProjectRollingLeverage(project);
}

OutputComposition KitMetricsSource::projectComposition(const std::shared_ptr<Project>& project, int days) {
    return portfolioMetrics().getOutputComposition(project, days);
}

VelocityRetention KitMetricsSource::velocityRetention(const std::shared_ptr<Project>& project) {
    return portfolioMetrics().getVelocityRetention(project);
}

std::vector<MetricsSource::VelocityPoint> KitMetricsSource::projectVelocitySeries(const std::shared_ptr<Project>& project,
                                                                                  int days) {
    return portfolioMetrics().getVelocityTimeSeries(project, days);
}

void SharedIndexClient::configure(bool isEnabled, std::optional<std::string> deviceId) {
    NorvaneIndexService::shared().configure(isEnabled, std::move(deviceId));
}

void SharedIndexClient::submit(const DailyActivity& activity, const Project& project,
                               const std::optional<VelocityRetention>& retention) {
    NorvaneIndexService::shared().submitReport(activity, project, retention);
}

} // namespace norvane::app
