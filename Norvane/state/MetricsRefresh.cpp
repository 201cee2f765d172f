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

} // namespace

MetricsRefresh::RowsStored MetricsRefresh::RowsStored::store(MetricsSource& source,
                                                             const MetricsSource::DailyRows& rows) {
    static const std::atomic<bool> waitsEndAtOnce{true};
    try {
        const platform::InterruptibleWaits::Scope notNow(waitsEndAtOnce);
        source.saveDailySnapshots(rows);
        return {};
    } catch (const NorvaneStore::BusyError& failure) {
        return {rows, failure.what(), true};
    } catch (const std::exception& failure) {
        return {rows, failure.what(), false};
    }
}

MetricsRefresh MetricsRefresh::read(MetricsSource& source) {
    MetricsRefresh refresh;
    try {
        const auto rows = source.deriveDailySnapshots();
        refresh.rows = RowsStored::store(source, rows);
        refresh.metrics = source.calculateMetrics(7, rows);
        refresh.rollingLeverage = source.getRollingLeverageSeries(14, 730, rows);
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
