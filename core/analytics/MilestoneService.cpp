#include "core/analytics/MilestoneService.h"

#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

#include <algorithm>
#include <set>

namespace norvane {

namespace {

using Snapshots = std::vector<std::shared_ptr<Snapshot>>;

/// The project's history snapshots, oldest first; equal dates keep the relationship's order.
Snapshots historySnapshots(const Project& project) {
    Snapshots history = project.snapshots();
    std::erase_if(history, [](const auto& snapshot) { return snapshot->snapshotType() != SnapshotType::gitHistory; });
    std::ranges::stable_sort(history, {}, &Snapshot::capturedAt);
    return history;
}

double figureOf(const Snapshot& snapshot, MilestoneType type) {
    return isCost(type) ? snapshot.cumulativeEstimatedCost : static_cast<double>(snapshot.cumulativeLinesChanged);
}

/// The milestone of the oldest snapshot at or above the threshold; none when no snapshot is.
std::optional<Milestone> firstReaching(const Snapshots& history, MilestoneType type, platform::Date start) {
    for (const auto& snapshot : history) {
        const double figure = figureOf(*snapshot, type);
        if (figure >= threshold(type)) {
            return Milestone(type, snapshot->capturedAt,
                             platform::LocalCalendar::wholeDaysBetween(start, snapshot->capturedAt), figure);
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
    const Snapshots history = historySnapshots(*project);
    if (history.empty()) return {};

    const platform::Date start = project->firstCommitAt.value_or(history.front()->capturedAt);
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
    progress.currentValue = history.back()->cumulativeEstimatedCost;
    progress.currentSloc = history.back()->cumulativeLinesChanged;
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
    std::int64_t totalDays = 0;
    std::int64_t count = 0;
    for (const auto& project : context_->fetch<Project>()) {
        const auto progress = getMilestones(project);
        const auto milestone = std::ranges::find(progress.reached, type, &Milestone::type);
        if (milestone != progress.reached.end()) {
            totalDays += milestone->daysFromStart;
            ++count;
        }
    }
    if (count < 1) return std::nullopt;
    return static_cast<int>(totalDays / count);
}

} // namespace norvane
