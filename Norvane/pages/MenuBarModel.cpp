#include "Norvane/pages/MenuBarModel.h"

#include <algorithm>

#include <QLocale>

#include "Norvane/components/text/NumberText.h"
#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/NewestSnapshot.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

// The panel's leverage uses the default wage and overhead, whatever the settings say.
constexpr double averageWage = AppSettings::defaultAverageWage;
constexpr double overhead = AppSettings::defaultOverhead;

} // namespace

MenuBarModel::Projects MenuBarModel::activeProjects(const Projects& projects) {
    Projects active;
    std::copy_if(projects.begin(), projects.end(), std::back_inserter(active),
                 [](const auto& project) { return project->status != ProjectStatus::archived; });
    return active;
}

std::int64_t MenuBarModel::totalLines(const Projects& projects) {
    std::int64_t total = 0;
    for (const auto& project : activeProjects(projects)) {
        if (const auto newest = newestSnapshot(*project)) total += newest->codeLines;
    }
    return total;
}

QString MenuBarModel::leverageText(const Projects& projects, platform::Date now) {
    const auto lines = totalLines(projects);
    if (lines < 1) return {};
    const double effort = CocomoEstimate::calculate(lines, ProjectType::organic, averageWage, overhead).effortMonths;
    std::optional<platform::Date> start;
    for (const auto& project : activeProjects(projects)) {
        if (project->firstCommitAt && (!start || *project->firstCommitAt < *start)) start = project->firstCommitAt;
    }
    if (!start) return {};
    const int days = platform::LocalCalendar::wholeDaysBetween(*start, now);
    if (days < 1) return {};
    const double months = days / 30.0;
    return formatFixed(months > 0 ? effort / months : 0.0, 1) + QStringLiteral("x leverage");
}

std::shared_ptr<Snapshot> MenuBarModel::latestSnapshot(const Projects& projects) {
    std::shared_ptr<Snapshot> latest;
    for (const auto& project : activeProjects(projects)) {
        const auto newest = newestSnapshot(*project);
        if (newest && (!latest || newest->capturedAt > latest->capturedAt)) latest = newest;
    }
    return latest;
}

MenuBarModel::Status MenuBarModel::collectionStatus(bool isCollecting, const Projects& projects) {
    if (isCollecting) return Status::collecting;
    return latestSnapshot(projects) ? Status::lastCollected : Status::noData;
}

bool MenuBarModel::isCollectEnabled(bool isCollecting, const Projects& projects) {
    return !isCollecting && !activeProjects(projects).empty();
}

} // namespace norvane::app
