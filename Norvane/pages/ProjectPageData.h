#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "core/analytics/MilestoneProgress.h"
#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"
#include "platform/Uuid.h"

namespace norvane::app {

/// What the project page asks for: the project and the windows its two day pickers chose.
struct ProjectPageRequest {
    platform::Uuid projectId;
    int compositionDays = 30;
    int velocityDays = 90;

    bool operator==(const ProjectPageRequest&) const = default;
};

/// The figures of a code count ("scc") snapshot that the page shows.
struct MeasurementFigures {
    std::int64_t codeLines = 0;
    std::int64_t totalFiles = 0;
    std::int64_t totalComplexity = 0;
    /// Code lines and complexity of the languages whose output category is code.
    std::int64_t codeCategoryCode = 0;
    std::int64_t codeCategoryComplexity = 0;
    /// The language with the most code lines; the first in name order among equals.
    std::optional<std::string> mainLanguage;
};

/// The commit that a snapshot recorded.
struct RecordedCommit {
    std::optional<std::string> hash;
    std::optional<std::string> message;
    std::optional<std::string> author;
    std::optional<platform::Date> date;
};

/// The running totals of the newest history snapshot.
struct HistoryTotals {
    double cumulativeEffortMonths = 0.0;
    std::int64_t cumulativeLinesChanged = 0;
};

/// The mean days that projects took to reach each milestone, as far as known. A figure of the whole
/// store, which takes a read of every project's history: the page keeps it from one project to the
/// next until the store changes.
using MilestoneAverages = std::map<MilestoneType, std::optional<int>>;

/// Everything the project page reads from the store for one request, as plain values that can
/// cross from the worker that reads them to the GUI thread.
struct ProjectPageData {
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;

    ProjectPageRequest request;
    /// The history snapshots, oldest first.
    std::vector<TimelineSnapshot> history;
    std::optional<HistoryTotals> newestHistory;
    /// The newest snapshot that is not a history point.
    std::optional<MeasurementFigures> latestMeasurement;
    /// The commit of the newest snapshot of any type; none without snapshots.
    std::optional<RecordedCommit> newestCommit;
    /// Short hash and subject of the newest snapshot that carries a commit hash.
    std::optional<std::pair<std::string, std::string>> commitSummary;
    ProjectSizeBucket sizeBucket = ProjectSizeBucket::greenfield;
    double maturityMultiplier = 1.0;
    MilestoneProgress milestones;
    /// Mean days that projects took to reach the next milestone; none without one.
    std::optional<int> averageDaysToNext;
    /// Over the request's composition window.
    OutputComposition composition;
    /// Over the request's velocity window, oldest first.
    std::vector<VelocityPoint> velocity;

    /// Reads the request through a context of its own over `container`, so it may run on any
    /// thread; a milestone average among `known` is taken as it is. None when the project is gone.
    /// Throws the store's error.
    static std::optional<ProjectPageData> load(const std::shared_ptr<platform::ModelContainer>& container,
                                               const ProjectPageRequest& request, const MilestoneAverages& known,
                                               platform::Date now);
};

} // namespace norvane::app
