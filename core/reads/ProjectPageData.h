#pragma once

#include "core/analytics/HistoryPoint.h"
#include "core/analytics/MilestoneProgress.h"
#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/ProjectInfo.h"
#include "core/models/ProjectSizeBucket.h"
#include "core/reads/CodeCount.h"
#include "core/reads/RecordedCommit.h"
#include "platform/Uuid.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace norvane {

/// What the project page asks for: the project and the windows its two day pickers chose.
struct ProjectPageRequest {
    platform::Uuid projectId;
    int compositionDays = 30;
    int velocityDays = 90;

    bool operator==(const ProjectPageRequest&) const = default;
};

/// The running totals of the newest history snapshot.
struct HistoryTotals {
    double cumulativeEffortMonths = 0.0;
    std::int64_t cumulativeLinesChanged = 0;

    bool operator==(const HistoryTotals&) const = default;
};

/// The mean days that projects took to reach each milestone, as far as known. A figure of the whole
/// store: the page keeps it from one project to the next until the store changes.
using MilestoneAverages = std::map<MilestoneType, std::optional<int>>;

/// Everything the project page reads from the store for one request, as plain values that can
/// cross from the worker that reads them to the GUI thread.
struct ProjectPageData {
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;

    ProjectPageRequest request;
    /// The project's stored fields as read with the rest.
    ProjectInfo project;
    /// The history points, oldest first.
    std::vector<HistoryPoint> history;
    std::optional<HistoryTotals> newestHistory;
    /// The newest snapshot that is not a history point.
    std::optional<CodeCount> latestMeasurement;
    /// The commit of the newest snapshot of any type; none without snapshots.
    std::optional<RecordedCommit> newestCommit;
    ProjectSizeBucket sizeBucket = ProjectSizeBucket::greenfield;
    double maturityMultiplier = 1.0;
    MilestoneProgress milestones;
    /// Mean days that projects took to reach the next milestone; none without one.
    std::optional<int> averageDaysToNext;
    /// Over the request's composition window.
    OutputComposition composition;
    /// Over the request's velocity window, oldest first.
    std::vector<VelocityPoint> velocity;
};

} // namespace norvane
