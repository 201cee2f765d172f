#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/charts/TimeRange.h"
#include "core/analytics/Achievement.h"
#include "core/analytics/Insight.h"
#include "core/analytics/OutputComposition.h"
#include "core/analytics/ProductivityStreak.h"
#include "core/analytics/WorkPatterns.h"
#include "core/community/IndexExport.h"
#include "core/community/UserPercentiles.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/Uuid.h"

namespace norvane::app {

/// One project of the portfolio page (archived ones are never listed), read off the GUI thread.
struct PortfolioProject {
    platform::Uuid id;
    std::string name;
    /// The code lines of the newest code count; none without one (history samples do not count).
    std::optional<std::int64_t> codeLines;
    ProjectSizeBucket sizeBucket = ProjectSizeBucket::greenfield;
    std::optional<platform::Date> firstCommitAt;
    /// Its early pace is known, so its velocity retention can be told.
    bool hasRetentionBaseline = false;
    /// The project's line of the index export.
    IndexExport::ProjectSummaryData summary;
};

/// The lines touched over the last 7, 14 and 30 days, as the share sheet shows them.
struct LinesTouched {
    std::int64_t sevenDays = 0;
    std::int64_t fourteenDays = 0;
    std::int64_t thirtyDays = 0;
};

/// What the portfolio page shows besides the application state's caches: the listed projects and
/// what its loads found. Lives on the GUI thread; the loads hand in plain values.
struct PortfolioState {
    /// Not archived, in name order.
    std::vector<PortfolioProject> projects;
    /// The projects, and the streak with the index figures, have been read once (or their reads
    /// have failed): before, the page knows neither its totals nor whether a streak goes on.
    bool projectsRead = false;
    bool streakRead = false;
    /// The series, and the index figures with the benchmark step, have been read once (or their
    /// reads have failed): the sections that show them know their room.
    bool seriesRead = false;
    bool indexRead = false;

    TimeRange selectedTimeRange = TimeRange::ninetyDays;
    std::vector<ThroughputPoint> throughputData;
    std::vector<ActivityDay> parallelismData;
    std::vector<Insight> insights;
    std::optional<WorkPatterns> workPatterns;
    /// Some project's history was read: a window without commits is quiet, not unknown.
    bool hasHistory = false;
    bool isLoadingMetrics = false;

    int compositionDays = 30;
    std::optional<OutputComposition> outputComposition;
    LinesTouched linesTouched;
    std::optional<ProductivityStreak> productivityStreak;
    std::optional<UserPercentiles> userPercentiles;
    /// Percent.
    std::optional<double> portfolioRetention;
    /// Percent.
    std::optional<double> industryRetentionMedian;
    std::vector<Achievement> achievements;
};

} // namespace norvane::app
