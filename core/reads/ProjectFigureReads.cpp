#include "core/reads/ProjectFigureReads.h"

#include "core/analytics/PortfolioMetricsCalculator.h"
#include "core/reads/ActivityQueries.h"
#include "core/reads/SnapshotQueries.h"
#include "platform/LocalCalendar.h"

#include <cmath>

namespace norvane {

namespace Calculator = PortfolioMetricsCalculator;
namespace calendar = platform::LocalCalendar;

ProjectRollingLeverage ProjectFigureReads::calculateProjectRollingLeverage(const ProjectInfo& project) const {
    const auto key = SnapshotQueries::projectKey(*store_, project.id);
    if (!key) return {};
    const auto now = clock_();
    return Calculator::projectRollingLeverage(
        SnapshotQueries::effortSince(*store_, *key, calendar::addingDays(now, -28)), now);
}

OutputComposition ProjectFigureReads::getOutputComposition(const ProjectInfo& project, int days) const {
    if (days < 1) return {};
    const auto key = SnapshotQueries::projectKey(*store_, project.id);
    if (!key) return Calculator::composition(Calculator::CategorySums{});
    return Calculator::composition(
        ActivityQueries::categorySums(*store_, Calculator::windowStart(clock_(), days), *key));
}

VelocityRetention ProjectFigureReads::getVelocityRetention(const ProjectInfo& project) const {
    if (!project.baselineVelocity || !std::isfinite(*project.baselineVelocity)) return VelocityRetention::tooEarly();
    const auto key = SnapshotQueries::projectKey(*store_, project.id);
    const auto changed = key ? ActivityQueries::changedLines(*store_, *key, calendar::addingDays(clock_(), -30))
                             : ActivityQueries::ChangedLines{};
    return Calculator::velocityRetention(*project.baselineVelocity, changed.codeLinesChanged, changed.days);
}

std::vector<PortfolioMetricsService::VelocityPoint>
ProjectFigureReads::getVelocityTimeSeries(const ProjectInfo& project, int days) const {
    if (days < 1) return {};
    const auto key = SnapshotQueries::projectKey(*store_, project.id);
    if (!key) return {};
    const auto now = clock_();
    const auto start = Calculator::windowStart(now, days);
    return Calculator::velocitySeries(ActivityQueries::changedOnDay(*store_, *key, start), start,
                                      calendar::startOfDay(now));
}

} // namespace norvane
