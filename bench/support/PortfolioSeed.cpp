#include "bench/support/PortfolioSeed.h"

#include "core/models/DailyActivity.h"
#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

#include <string>

namespace norvane {

namespace calendar = platform::LocalCalendar;

std::vector<std::shared_ptr<Project>> PortfolioSeed::fill(platform::ModelContext& context) {
    const platform::Date today = calendar::startOfDay(platform::currentDate());
    std::vector<std::shared_ptr<Project>> projects;
    for (int p = 0; p < projectCount; ++p) {
        auto project = Project::create("project-" + std::to_string(p), "/tmp", std::nullopt, ProjectType::organic);
        project->firstCommitAt = calendar::addingDays(today, -historyDays);
        project->latestCommitAt = calendar::addingDays(today, -(p % 10)) + std::chrono::hours(9);
        project->baselineVelocity = 120.0 + p;
        context.insert(project);
        addWeeklyHistory(context, project, today, p);
        addDailyActivity(context, project, today, p);
        projects.push_back(project);
    }
    return projects;
}

// One history point a week, each project on its own weekday and hour.
void PortfolioSeed::addWeeklyHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                     platform::Date today, int p) {
    double effort = 0.0;
    std::int64_t insertions = 0;
    for (int day = historyDays - p % 7; day >= 0; day -= 7) {
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        snapshot->capturedAt = calendar::addingDays(today, -day) + std::chrono::minutes(9 * 60 + 7 * p);
        effort += 0.05 + 0.01 * (p % 5);
        insertions += 400 + 13 * p;
        snapshot->codeLines = insertions - insertions / 3;
        snapshot->cumulativeEffortMonths = effort;
        snapshot->cumulativeInsertions = insertions;
        snapshot->cumulativeDeletions = insertions / 3;
        context.insert(snapshot);
    }
}

void PortfolioSeed::addDailyActivity(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                     platform::Date today, int p) {
    for (int day = historyDays; day >= 0; --day) {
        auto activity = DailyActivity::create(project, calendar::addingDays(today, -day));
        activity->codeLinesInserted = 80 + (day * 7 + p) % 90;
        activity->codeLinesDeleted = 20 + (day + p) % 30;
        activity->docsLinesInserted = day % 11;
        activity->testLinesInserted = (day + p) % 17;
        activity->configLinesDeleted = day % 3;
        activity->totalInsertions = activity->codeLinesInserted + activity->docsLinesInserted;
        activity->totalDeletions = activity->codeLinesDeleted;
        context.insert(activity);
    }
}

} // namespace norvane
