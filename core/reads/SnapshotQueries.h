#pragma once

#include "core/analytics/HistoryPoint.h"
#include "core/analytics/Milestone.h"
#include "core/analytics/PortfolioMetricsDayTotals.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/reads/CodeCount.h"
#include "core/reads/ProjectListing.h"
#include "core/reads/RecordedCommit.h"
#include "platform/persistence/ModelContainer.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// The snapshot reads that the application's pages and figures need, each one SQL query over the
/// stored rows that returns plain values. A project is named by its row key (`projectKey`). "Newest"
/// means the latest capture time and, of equal times, the snapshot stored first.
namespace SnapshotQueries {

/// The newest snapshot and commit summary of one project, as the lists show them.
struct Newest {
    std::optional<ProjectListing::Moment> snapshot;
    std::optional<CommitSummary> commitSummary;
};

/// The history moments of every project, sorted by capture time, and the projects' names that
/// they point into: what the daily portfolio rows are built from.
struct DailyRowMoments {
    std::vector<PortfolioMetricsDayTotals::HistoryMoment> moments;
    std::vector<std::string> projectNames;
};

/// The row key of the project with this id; none when there is no such project.
std::optional<std::int64_t> projectKey(platform::ModelContainer& store, const platform::Uuid& id);

/// By project key, for every project.
std::map<std::int64_t, Newest> newestOfEachProject(platform::ModelContainer& store);
/// The newest code count of a project (a snapshot that is not a history point), with the figures
/// of its language rows.
std::optional<CodeCount> newestCodeCount(platform::ModelContainer& store, std::int64_t projectKey);
/// The commit of the project's newest snapshot of any type.
std::optional<RecordedCommit> newestCommit(platform::ModelContainer& store, std::int64_t projectKey);

/// The project's history points, oldest first (of equal times, the one stored first).
std::vector<HistoryPoint> history(platform::ModelContainer& store, std::int64_t projectKey);
/// The capture time and running effort of the project's history points from `since` on.
std::vector<PortfolioMetricsService::EffortPoint> effortSince(platform::ModelContainer& store, std::int64_t projectKey,
                                                              platform::Date since);
/// When history points of every project were taken, from `since` on.
std::vector<platform::Date> historyMomentsSince(platform::ModelContainer& store, platform::Date since);
/// Whether any project's history was read, however long ago its commits are.
bool hasHistory(platform::ModelContainer& store);
DailyRowMoments dailyRowMoments(platform::ModelContainer& store);

/// For every project whose history reached the milestone, the whole local days from its first
/// commit (else its first history point) to the first point at or above the milestone's figure.
std::vector<int> daysToReach(platform::ModelContainer& store, MilestoneType type);

} // namespace SnapshotQueries
} // namespace norvane
