#include "Norvane/pages/MenuBarModel.h"

#include <algorithm>

#include <QLocale>

#include "Norvane/components/text/NumberText.h"
#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

// The panel's leverage uses the default wage and overhead, whatever the settings say.
constexpr double defaultWage = AppSettings::defaultAverageWage;
constexpr double defaultOverhead = AppSettings::defaultOverhead;

} // namespace

MenuBarModel::Projects MenuBarModel::activeProjects(const Projects& projects) {
    Projects active;
    std::copy_if(projects.begin(), projects.end(), std::back_inserter(active),
                 [](const auto& listing) { return listing.project.status != ProjectStatus::archived; });
    return active;
}

std::int64_t MenuBarModel::totalLines(const Projects& projects) {
    std::int64_t total = 0;
    for (const auto& listing : activeProjects(projects)) {
        if (listing.newestSnapshot) total += listing.newestSnapshot->codeLines;
    }
    return total;
}

QString MenuBarModel::leverageText(const Projects& projects, platform::Date now) {
    const auto lines = totalLines(projects);
    if (lines < 1) return {};
    const double effort =
        CocomoEstimate::calculate(lines, ProjectType::organic, defaultWage, defaultOverhead).effortMonths;
    std::optional<platform::Date> start;
    for (const auto& listing : activeProjects(projects)) {
        const auto& first = listing.project.firstCommitAt;
        if (first && (!start || *first < *start)) start = first;
    }
    if (!start) return {};
    const int days = platform::LocalCalendar::wholeDaysBetween(*start, now);
    if (days < 1) return {};
    const double months = days / daysPerMonth;
    return formatFixed(months > 0 ? effort / months : 0.0, 1) + QStringLiteral("x leverage");
}

std::optional<platform::Date> MenuBarModel::latestCollection(const Projects& projects) {
    return newestCollection(projects);
}

MenuBarModel::Status MenuBarModel::collectionStatus(bool isCollecting, const Projects& projects) {
    if (isCollecting) return Status::collecting;
    return latestCollection(projects) ? Status::lastCollected : Status::noData;
}

bool MenuBarModel::isCollectEnabled(bool isCollecting, const Projects& projects) {
    return !isCollecting && !activeProjects(projects).empty();
}

} // namespace norvane::app
