#include "Norvane/state/KitServices.h"

#include <stdexcept>

#include "core/community/NorvaneIndexService.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/ProjectInput.h"

namespace norvane::app {
std::vector<CollectionResult> KitCollectionService::collectAll() {
    auto& kit = kit_();
    // The one thing a collection of all throws for: the projects could not be listed.
    const auto listingFailure = [](const std::exception& failure) {
        return std::string("Failed to fetch projects: ") + failure.what();
    };
    try {
        return kit.collect();
    } catch (const NorvaneStore::BusyError& failure) {
        throw NorvaneStore::BusyError(listingFailure(failure));
    } catch (const std::exception& failure) {
        throw std::runtime_error(listingFailure(failure));
    }
}

CollectionResult KitCollectionService::collectProject(const std::string& name) { return kit_().collect(name); }

void KitCollectionService::collectHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) {
    kit_().collectHistory(name, intervalDays, [&progress](int current, int total, const GitCommit&) {
        if (progress) progress(current, total);
    });
}

std::shared_ptr<Project> KitCollectionService::addProject(const NewProject& project) {
    ProjectInput::checkName(project.name);
    return kit_().addProject(project.name, ProjectInput::absoluteFolder(project.path), project.description,
                             project.projectType);
}

InitialCollectionResult KitCollectionService::collectInitialData(const std::shared_ptr<Project>& project,
                                                                 const InitialProgress& progress) {
    return kit_().collector().collectInitialData(project, progress);
}

const NorvaneStore& KitMetricsSource::store() const { return store_ ? *store_ : NorvaneKit::shared().store(); }

MetricsSource::DailyRows KitMetricsSource::deriveDailySnapshots() { return store().deriveDailySnapshots(); }

void KitMetricsSource::saveDailySnapshots(const DailyRows& rows) { store().saveDailySnapshots(rows); }

PortfolioMetrics KitMetricsSource::calculateMetrics(int windowDays, const DailyRows& rows) {
    return store().calculateMetrics(windowDays, rows);
}

std::vector<MetricsSource::LeveragePoint> KitMetricsSource::getRollingLeverageSeries(int windowDays, int spanDays,
                                                                                     const DailyRows& rows) {
    return store().getRollingLeverageSeries(windowDays, spanDays, rows);
}

std::vector<ProjectListing> KitMetricsSource::listProjects(bool includeArchived) {
    auto listings = store().listProjects();
    if (!includeArchived) {
        std::erase_if(listings,
                      [](const ProjectListing& listing) { return listing.project.status == ProjectStatus::archived; });
    }
    return listings;
}

ProjectRollingLeverage KitMetricsSource::calculateProjectRollingLeverage(const ProjectInfo& project) {
    return store().projectFigures().calculateProjectRollingLeverage(project);
}

OutputComposition KitMetricsSource::getOutputComposition(const ProjectInfo& project, int days) {
    return store().projectFigures().getOutputComposition(project, days);
}

VelocityRetention KitMetricsSource::getVelocityRetention(const ProjectInfo& project) {
    return store().projectFigures().getVelocityRetention(project);
}

std::vector<MetricsSource::VelocityPoint> KitMetricsSource::getVelocityTimeSeries(const ProjectInfo& project,
                                                                                  int days) {
    return store().projectFigures().getVelocityTimeSeries(project, days);
}

SharedIndexClient::SharedIndexClient() : service_(NorvaneIndexService::shared()) {}

void SharedIndexClient::configure(bool isEnabled, std::optional<std::string> deviceId) {
    service_.configure(isEnabled, std::move(deviceId));
}

std::future<void> SharedIndexClient::submit(const DailyActivityInfo& activity, const ProjectInfo& project,
                                            const std::optional<SnapshotInfo>& newestCodeCount,
                                            const std::optional<VelocityRetention>& retention) {
    return service_.submitReport(activity, project, newestCodeCount, retention);
}

std::future<std::size_t> SharedIndexClient::pendingReportCount() { return service_.pendingReportCount(); }

std::future<std::optional<std::string>> SharedIndexClient::pendingReportsSaveFailure() {
    return service_.pendingReportsSaveFailure();
}

std::future<void> SharedIndexClient::forgetDevice(std::string deviceId) {
    return service_.forgetDevice(std::move(deviceId));
}

std::future<bool> SharedIndexClient::isForgotten(std::string deviceId) {
    return service_.isForgotten(std::move(deviceId));
}

std::future<void> SharedIndexClient::requestDeletion(std::string deviceId) {
    return service_.requestDeletion(std::move(deviceId));
}

std::future<std::optional<UserPercentiles>>
SharedIndexClient::calculatePercentiles(std::optional<double> throughput, std::optional<double> velocityRetention,
                                        std::optional<double> activeDaysPerWeek, ProjectSizeBucket sizeBucket) {
    return service_.calculatePercentiles(throughput, velocityRetention, activeDaysPerWeek, sizeBucket);
}

std::future<std::optional<CachedBenchmarks>> SharedIndexClient::cachedBenchmarks() {
    return service_.getCachedBenchmarks();
}

} // namespace norvane::app
