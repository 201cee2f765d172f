#include "core/analytics/MilestoneService.h"

#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

#include <algorithm>
#include <set>

namespace norvane {

namespace {

using History = std::vector<HistoryPoint>;

/// The project's history, oldest first; equal dates keep the relationship's order.
History historyOf(const Project& project) {
    auto snapshots = project.snapshots();
    std::erase_if(snapshots, [](const auto& snapshot) { return snapshot->snapshotType() != SnapshotType::gitHistory; });
    std::ranges::stable_sort(snapshots, {}, &Snapshot::capturedAt);
    History history;
    history.reserve(snapshots.size());
    for (const auto& snapshot : snapshots) {
        history.push_back({snapshot->capturedAt, snapshot->codeLines, snapshot->cumulativeEffortMonths,
                           snapshot->cumulativeEstimatedCost, snapshot->cumulativeLinesChanged});
    }
    return history;
}

double figureOf(const HistoryPoint& point, MilestoneType type) {
    return isCost(type) ? point.cumulativeEstimatedCost : static_cast<double>(point.cumulativeLinesChanged);
}

/// The milestone of the oldest point at or above the threshold; none when no point is.
std::optional<Milestone> firstReaching(const History& history, MilestoneType type, platform::Date start) {
    for (const auto& point : history) {
        const double figure = figureOf(point, type);
        if (figure >= threshold(type)) {
            return Milestone(type, point.capturedAt, platform::LocalCalendar::wholeDaysBetween(start, point.capturedAt),
                             figure);
        }
    }
    return std::nullopt;
}

/// Share of the way from the cost threshold before `next` (0 before the first) to `next`.
double progressTowards(MilestoneType next, double currentValue) {
    const auto position = std::ranges::find(costMilestones, next);
    const double previous = position == costMilestones.begin() ? 0.0 : threshold(*(position - 1));
    return std::clamp((currentValue - previous) / (threshold(next) - previous), 0.0, 1.0);
}

} // namespace

MilestoneProgress MilestoneService::getMilestones(const std::shared_ptr<Project>& project) const {
    return progressOf(historyOf(*project), project->firstCommitAt);
}

MilestoneProgress MilestoneService::progressOf(const std::vector<HistoryPoint>& history,
                                               std::optional<platform::Date> firstCommitAt) {
    if (history.empty()) return {};

    const platform::Date start = firstCommitAt.value_or(history.front().capturedAt);
    MilestoneProgress progress;
    std::set<MilestoneType> reachedTypes;
    for (const auto& group : {costMilestones, lineCountMilestones}) {
        for (const MilestoneType type : group) {
            if (auto milestone = firstReaching(history, type, start)) {
                progress.reached.push_back(*milestone);
                reachedTypes.insert(type);
            }
        }
    }
    std::ranges::stable_sort(progress.reached, {}, &Milestone::reachedAt);

    const auto next =
        std::ranges::find_if(costMilestones, [&](MilestoneType type) { return !reachedTypes.contains(type); });
    progress.currentValue = history.back().cumulativeEstimatedCost;
    progress.currentSloc = history.back().cumulativeLinesChanged;
    if (next == costMilestones.end()) {
        progress.nextMilestone = std::nullopt;
        progress.progressToNext = std::nullopt;
    } else {
        progress.nextMilestone = *next;
        progress.progressToNext = progressTowards(*next, progress.currentValue);
    }
    return progress;
}

std::optional<int> MilestoneService::getAverageTimeToMilestone(MilestoneType type) const {
    std::vector<int> days;
    for (const auto& project : context_->fetch<Project>()) {
        const auto progress = getMilestones(project);
        const auto milestone = std::ranges::find(progress.reached, type, &Milestone::type);
        if (milestone != progress.reached.end()) days.push_back(milestone->daysFromStart);
    }
    return averageDays(days);
}

std::optional<int> MilestoneService::averageDays(const std::vector<int>& days) {
    if (days.empty()) return std::nullopt;
    std::int64_t total = 0;
    for (const int count : days) total += count;
    return static_cast<int>(total / static_cast<std::int64_t>(days.size()));
}

} // namespace norvane
