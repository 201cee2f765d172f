#include "core/reads/ProjectPageReads.h"

#include "core/analytics/MilestoneService.h"
#include "core/models/MaturityMultiplier.h"
#include "core/models/Project.h"
#include "core/reads/ProjectFigureReads.h"
#include "core/reads/SnapshotQueries.h"
#include "platform/ErrorLog.h"
#include "platform/persistence/ModelContext.h"

namespace norvane {
namespace {

/// The totals of the newest point: the latest time and, of equal times, the one stored first.
std::optional<HistoryTotals> newestTotals(const std::vector<HistoryPoint>& history) {
    if (history.empty()) return std::nullopt;
    auto newest = history.end() - 1;
    while (newest != history.begin() && (newest - 1)->capturedAt == newest->capturedAt) --newest;
    return HistoryTotals{newest->cumulativeEffortMonths, newest->cumulativeLinesChanged};
}

void readMilestones(ProjectPageData& data, platform::ModelContainer& store, const MilestoneAverages& known) {
    data.milestones = MilestoneService::progressOf(data.history, data.project.firstCommitAt);
    const auto next = data.milestones.nextMilestone;
    if (!next) return;
    if (const auto average = known.find(*next); average != known.end()) {
        data.averageDaysToNext = average->second;
        return;
    }
    try {
        data.averageDaysToNext = MilestoneService::averageDays(SnapshotQueries::daysToReach(store, *next));
    } catch (const std::exception& error) {
        // Without the average the card still shows the way to the next milestone.
        data.averageDaysToNext.reset();
        platform::logError(std::string("The days projects took to reach a milestone could not be read: ") +
                           error.what());
    }
}

void readCodeCount(ProjectPageData& data, platform::ModelContainer& store, std::int64_t key, platform::Date now) {
    data.latestMeasurement = SnapshotQueries::newestCodeCount(store, key);
    const std::int64_t code = data.latestMeasurement ? data.latestMeasurement->codeCategoryCode : 0;
    const std::int64_t complexity = data.latestMeasurement ? data.latestMeasurement->codeCategoryComplexity : 0;
    if (data.latestMeasurement) data.sizeBucket = sizeBucketForLines(code);
    data.maturityMultiplier = MaturityMultiplier::calculate(code, complexity, data.project.firstCommitAt, now).value;
}

ProjectPageData read(const std::shared_ptr<platform::ModelContainer>& store, const ProjectInfo& project,
                     std::int64_t key, const ProjectPageRequest& request, const MilestoneAverages& known,
                     platform::Date now) {
    ProjectPageData data;
    data.request = request;
    data.project = project;
    data.history = SnapshotQueries::history(*store, key);
    data.newestHistory = newestTotals(data.history);
    data.newestCommit = SnapshotQueries::newestCommit(*store, key);
    readCodeCount(data, *store, key, now);
    readMilestones(data, *store, known);
    const ProjectFigureReads figures(store, [now] { return now; });
    data.composition = figures.getOutputComposition(project, request.compositionDays);
    data.velocity = figures.getVelocityTimeSeries(project, request.velocityDays);
    return data;
}

} // namespace

std::optional<ProjectPageData> ProjectPageReads::load(const std::shared_ptr<platform::ModelContainer>& store,
                                                      const ProjectPageRequest& request, const MilestoneAverages& known,
                                                      platform::Date now) {
    std::optional<ProjectPageData> data;
    store->withReadTransaction([&] {
        platform::ModelContext context(store);
        const auto found = context.fetch<Project>({.predicate = ProjectField::id == request.projectId});
        if (found.empty()) return;
        data = read(store, found.front()->info(), found.front()->persistentKey(), request, known, now);
    });
    return data;
}

} // namespace norvane
