#include "Norvane/state/MetricsRefresh.h"

#include <atomic>
#include <exception>

#include "core/facade/NorvaneStore.h"
#include "platform/InterruptibleWaits.h"

namespace norvane::app {
namespace {

MetricsRefresh::ProjectFigures readProject(MetricsSource& source, const ProjectInfo& project,
                                           std::optional<std::string>& keptWaiting) {
    MetricsRefresh::ProjectFigures figures{project, {}, {}, {}, {}, {}};
    try {
        figures.leverage = source.calculateProjectRollingLeverage(project);
        figures.composition = source.getOutputComposition(project, 30);
        figures.retention = source.getVelocityRetention(project);
        figures.velocity = source.getVelocityTimeSeries(project, 90);
    } catch (const NorvaneStore::BusyError& failure) {
        figures.failure = keptWaiting = failure.what();
    } catch (const std::exception& failure) {
        figures.failure = failure.what();
    }
    return figures;
}

/// Rebuilds the daily rows unless another program holds the store now: the figures are not held
/// up for it.
void rebuildDailyRows(MetricsSource& source, std::optional<std::string>& keptWaiting) {
    static const std::atomic<bool> waitsEndAtOnce{true};
    try {
        const platform::InterruptibleWaits::Scope notNow(waitsEndAtOnce);
        source.buildDailySnapshots();
    } catch (const NorvaneStore::BusyError& failure) {
        keptWaiting = failure.what();
    }
}

} // namespace

MetricsRefresh MetricsRefresh::read(MetricsSource& source) {
    MetricsRefresh refresh;
    try {
        rebuildDailyRows(source, refresh.keptWaiting);
        refresh.metrics = source.calculateMetrics(7);
        refresh.rollingLeverage = source.getRollingLeverageSeries(14, 730);
        for (const auto& listing : source.listProjects(false))
            refresh.projects.push_back(readProject(source, listing.project, refresh.keptWaiting));
    } catch (const NorvaneStore::BusyError& failure) {
        refresh.failure = refresh.keptWaiting = failure.what();
    } catch (const std::exception& failure) {
        refresh.failure = failure.what();
    }
    return refresh;
}

} // namespace norvane::app
