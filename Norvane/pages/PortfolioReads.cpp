#include "Norvane/pages/PortfolioReads.h"

#include <exception>
#include <map>

#include "Norvane/LogCategories.h"
#include "core/analytics/InsightsService.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/StreakCalculator.h"
#include "core/analytics/WorkPatternService.h"
#include "core/models/DailyActivity.h"
#include "core/models/MaturityMultiplier.h"
#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

std::vector<ThroughputPoint> throughputPoints(const std::vector<PortfolioMetricsService::ThroughputPoint>& series) {
    std::vector<ThroughputPoint> points;
    points.reserve(series.size());
    for (const auto& point : series) points.push_back({point.date, point.throughput});
    return points;
}

std::vector<ActivityDay> activityDays(const std::vector<PortfolioMetricsService::ParallelismPoint>& series) {
    std::vector<ActivityDay> days;
    days.reserve(series.size());
    for (const auto& point : series) {
        ActivityDay day{point.date, point.count, {}};
        for (const auto& name : point.projects) day.projects.push_back(QString::fromStdString(name));
        days.push_back(std::move(day));
    }
    return days;
}

/// The project as the page lists it, from its newest code count alone: one read of one snapshot,
/// where the project's own figures read all of its snapshots, each figure again.
PortfolioProject listedProject(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                               platform::Date now) {
    const auto newest = context.fetch<Snapshot>(
        {.predicate = SnapshotField::project == project &&
                      SnapshotField::snapshotTypeRaw != std::string(platform::rawValue(SnapshotType::gitHistory)),
         .sortBy = {platform::descending(SnapshotField::capturedAt)},
         .limit = 1});
    PortfolioProject listed{
        project->id, project->name, std::nullopt, ProjectSizeBucket::greenfield, project->firstCommitAt, {}};
    std::int64_t code = 0;
    std::int64_t complexity = 0;
    if (!newest.empty()) {
        listed.codeLines = newest.front()->codeLines;
        code = newest.front()->codeCategoryCode();
        complexity = newest.front()->codeCategoryComplexity();
        listed.sizeBucket = sizeBucketForLines(code);
    }
    const double ageMonths =
        project->firstCommitAt ? platform::LocalCalendar::wholeDaysBetween(*project->firstCommitAt, now) / 30.0 : 0.0;
    listed.summary = {project->name, std::string(platform::rawValue(listed.sizeBucket)), code,
                      MaturityMultiplier::calculate(code, complexity, ageMonths).value, std::nullopt};
    return listed;
}

} // namespace

PortfolioReads::PortfolioReads(std::shared_ptr<platform::ModelContext> context, platform::Clock clock)
    : context_(std::move(context)), clock_(std::move(clock)) {}

std::vector<std::shared_ptr<Project>> PortfolioReads::listedRecords() {
    return context_->fetch<Project>({.predicate = ProjectField::status != ProjectStatus::archived,
                                     .sortBy = {platform::ascending(ProjectField::name)}});
}

std::vector<PortfolioProject> PortfolioReads::listedProjects() {
    const auto now = clock_();
    std::vector<PortfolioProject> projects;
    for (const auto& project : listedRecords()) projects.push_back(listedProject(*context_, project, now));
    return projects;
}

PortfolioReads::Series PortfolioReads::series(int days) {
    Series series;
    try {
        PortfolioMetricsService metrics(context_, clock_);
        series.throughput = throughputPoints(metrics.getDailyThroughputSeries(days));
        series.parallelism = activityDays(metrics.getParallelismSeries(days));
        series.insights = InsightsService(context_, clock_).generateInsights();
        series.workPatterns = WorkPatternService(context_, clock_).analyzePatterns(days);
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load portfolio metrics: %s", failure.what());
    }
    return series;
}

PortfolioReads::IndexFigures PortfolioReads::indexFigures(int compositionDays) {
    IndexFigures figures;
    const auto thirtyDays = readCompositions(figures, compositionDays);
    const auto activeDaysPerWeek = readActivity(figures);
    try {
        const auto projects = listedRecords();
        if (!projects.empty()) figures.benchmark = benchmarkRequest(projects, thirtyDays, activeDaysPerWeek);
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load the projects for the Norvane Index: %s", failure.what());
    }
    return figures;
}

std::optional<OutputComposition> PortfolioReads::readCompositions(IndexFigures& figures, int compositionDays) {
    PortfolioMetricsService metrics(context_, clock_);
    std::map<int, OutputComposition> read;
    const auto composition = [&](int days) {
        if (!read.contains(days)) read.emplace(days, metrics.getPortfolioOutputComposition(days));
        return read.at(days);
    };
    try {
        figures.composition = composition(compositionDays);
        figures.linesTouched = LinesTouched{composition(7).totalLinesTouched(), composition(14).totalLinesTouched(),
                                            composition(30).totalLinesTouched()};
        return composition(30);
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load Norvane Index metrics: %s", failure.what());
        return std::nullopt;
    }
}

std::optional<double> PortfolioReads::readActivity(IndexFigures& figures) {
    try {
        // Rows without a commit are no active day; whether any row exists decides whether the
        // consistency can be told at all.
        const auto active = context_->fetch<DailyActivity>({.predicate = DailyActivityField::commitCount >= 1});
        // Many projects share a day: each distinct date is turned into its day once.
        std::set<platform::Date> dates;
        for (const auto& row : active) dates.insert(row->date);
        std::set<platform::Date> days;
        for (const auto date : dates) days.insert(platform::LocalCalendar::startOfDay(date));
        figures.streak = StreakCalculator::calculate(days, clock_());
        if (active.empty() && context_->fetch<DailyActivity>({.limit = 1}).empty()) return std::nullopt;
        return PortfolioFigures::activeDaysPerWeek(days, clock_());
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load weekly recap: %s", failure.what());
        return std::nullopt;
    }
}

PortfolioReads::BenchmarkRequest PortfolioReads::benchmarkRequest(const std::vector<std::shared_ptr<Project>>& projects,
                                                                  const std::optional<OutputComposition>& thirtyDays,
                                                                  std::optional<double> activeDaysPerWeek) {
    PortfolioMetricsService metrics(context_, clock_);
    std::vector<std::optional<double>> retentions;
    std::vector<PortfolioProject> listed;
    const auto now = clock_();
    for (const auto& project : projects) {
        try {
            retentions.push_back(metrics.getVelocityRetention(project).retentionPercent);
        } catch (const std::exception&) {
            // A project whose retention cannot be read is left out of the mean.
        }
        listed.push_back(listedProject(*context_, project, now));
    }
    BenchmarkRequest request;
    request.inputs = {thirtyDays ? std::optional(PortfolioFigures::throughput(*thirtyDays)) : std::nullopt,
                      PortfolioFigures::meanRetention(retentions), activeDaysPerWeek,
                      PortfolioFigures::dominantSizeBucket(listed)};
    request.totalCodeLines = PortfolioFigures::totalCodeLines(listed);
    return request;
}

} // namespace norvane::app
