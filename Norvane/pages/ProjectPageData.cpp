#include "Norvane/pages/ProjectPageData.h"

#include <algorithm>

#include "core/analytics/MilestoneService.h"
#include "core/models/Snapshot.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/ModelContext.h"

namespace norvane::app {
namespace {

using Snapshots = std::vector<std::shared_ptr<Snapshot>>;

std::optional<std::string> mainLanguage(const Snapshot& snapshot) {
    auto languages = snapshot.languages();
    if (languages.empty()) return std::nullopt;
    // Ties go to the first name in order, so the choice does not change between reads.
    const auto main = std::min_element(languages.begin(), languages.end(), [](const auto& a, const auto& b) {
        return a->code != b->code ? a->code > b->code : a->language < b->language;
    });
    return (*main)->language;
}

MeasurementFigures measurementOf(const Snapshot& snapshot) {
    return {snapshot.codeLines,
            snapshot.totalFiles,
            snapshot.totalComplexity,
            snapshot.codeCategoryCode(),
            snapshot.codeCategoryComplexity(),
            mainLanguage(snapshot)};
}

RecordedCommit commitOf(const Snapshot& snapshot) {
    return {snapshot.latestCommitHash, snapshot.latestCommitMessage, snapshot.latestCommitAuthor,
            snapshot.latestCommitDate};
}

TimelineSnapshot timelinePointOf(const Snapshot& snapshot) {
    return {snapshot.capturedAt, snapshot.codeLines, snapshot.cumulativeEffortMonths, snapshot.cumulativeEstimatedCost};
}

/// Fills the values that come from the project's own snapshots, newest first.
void readSnapshots(ProjectPageData& data, const Snapshots& newestFirst) {
    if (!newestFirst.empty()) data.newestCommit = commitOf(*newestFirst.front());
    for (const auto& snapshot : newestFirst) {
        if (snapshot->snapshotType() != SnapshotType::gitHistory) {
            if (!data.latestMeasurement) data.latestMeasurement = measurementOf(*snapshot);
            continue;
        }
        if (!data.newestHistory)
            data.newestHistory = HistoryTotals{snapshot->cumulativeEffortMonths, snapshot->cumulativeLinesChanged};
        data.history.push_back(timelinePointOf(*snapshot));
    }
    std::reverse(data.history.begin(), data.history.end());
}

void readMilestones(ProjectPageData& data, const MilestoneService& milestones, const std::shared_ptr<Project>& project,
                    const MilestoneAverages& known) {
    data.milestones = milestones.getMilestones(project);
    const auto next = data.milestones.nextMilestone;
    if (!next) return;
    if (const auto average = known.find(*next); average != known.end()) {
        data.averageDaysToNext = average->second;
        return;
    }
    try {
        data.averageDaysToNext = milestones.getAverageTimeToMilestone(*next);
    } catch (const std::exception&) {
        // Without the average the card still shows the way to the next milestone.
        data.averageDaysToNext.reset();
    }
}

} // namespace

std::optional<ProjectPageData> ProjectPageData::load(const std::shared_ptr<platform::ModelContainer>& container,
                                                     const ProjectPageRequest& request, const MilestoneAverages& known,
                                                     platform::Date now) {
    auto context = std::make_shared<platform::ModelContext>(container);
    const auto found = context->fetch<Project>({.predicate = ProjectField::id == request.projectId});
    if (found.empty()) return std::nullopt;
    const auto& project = found.front();

    ProjectPageData data;
    data.request = request;
    auto snapshots = project->snapshots();
    std::stable_sort(snapshots.begin(), snapshots.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    readSnapshots(data, snapshots);
    data.commitSummary = project->latestCommitSummary();
    data.sizeBucket = project->sizeBucket();
    data.maturityMultiplier = project->maturityMultiplier(now).value;

    readMilestones(data, MilestoneService(context), project, known);
    PortfolioMetricsService metrics(context, [now] { return now; });
    data.composition = metrics.getOutputComposition(project, request.compositionDays);
    data.velocity = metrics.getVelocityTimeSeries(project, request.velocityDays);
    return data;
}

} // namespace norvane::app
