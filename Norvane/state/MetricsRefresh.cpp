#include "Norvane/state/MetricsRefresh.h"

#include <exception>

namespace norvane::app {
namespace {

MetricsRefresh::ProjectFigures readProject(MetricsSource& source, const ProjectInfo& project) {
    MetricsRefresh::ProjectFigures figures{project, {}, {}, {}, {}, {}};
    try {
        figures.leverage = source.calculateProjectRollingLeverage(project);
        figures.composition = source.getOutputComposition(project, 30);
        figures.retention = source.getVelocityRetention(project);
        figures.velocity = source.getVelocityTimeSeries(project, 90);
    } catch (const std::exception& failure) {
        figures.failure = failure.what();
    }
    return figures;
}

} // namespace

MetricsRefresh MetricsRefresh::read(MetricsSource& source) {
    MetricsRefresh refresh;
    try {
        source.buildDailySnapshots();
        refresh.metrics = source.calculateMetrics(7);
        refresh.rollingLeverage = source.getRollingLeverageSeries(14, 730);
        for (const auto& listing : source.listProjects(false))
            refresh.projects.push_back(readProject(source, listing.project));
    } catch (const std::exception& failure) {
        refresh.failure = failure.what();
    }
    return refresh;
}

} // namespace norvane::app
