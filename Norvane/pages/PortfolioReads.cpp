#include "Norvane/pages/PortfolioReads.h"

#include <exception>
#include <map>

#include "Norvane/LogCategories.h"
#include "core/analytics/InsightsService.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/StreakCalculator.h"
#include "core/analytics/WorkPatternService.h"
#include "core/community/NewestCodeSnapshot.h"
#include "core/models/DailyActivity.h"
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

/// The project's newest code count: its code lines and size bucket.
PortfolioProject measuredProject(const Project& project) {
    PortfolioProject measured{
        project.id, project.name, std::nullopt, ProjectSizeBucket::greenfield, project.firstCommitAt, {}};
    if (const auto newest = newestCodeSnapshot(project)) {
        measured.codeLines = newest->codeLines;
        measured.sizeBucket = sizeBucketForLines(newest->codeCategoryCode());
    }
    return measured;
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
    for (const auto& project : listedRecords()) {
        projects.push_back(measuredProject(*project));
        projects.back().summary = IndexExport::ProjectSummaryData::from(*project, std::nullopt, now);
    }
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
        std::set<platform::Date> days;
        for (const auto& row : active) days.insert(platform::LocalCalendar::startOfDay(row->date));
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
    for (const auto& project : projects) {
        try {
            retentions.push_back(metrics.getVelocityRetention(project).retentionPercent);
        } catch (const std::exception&) {
            // A project whose retention cannot be read is left out of the mean.
        }
        listed.push_back(measuredProject(*project));
    }
    BenchmarkRequest request;
    request.inputs = {thirtyDays ? std::optional(PortfolioFigures::throughput(*thirtyDays)) : std::nullopt,
                      PortfolioFigures::meanRetention(retentions), activeDaysPerWeek,
                      PortfolioFigures::dominantSizeBucket(listed)};
    request.totalCodeLines = PortfolioFigures::totalCodeLines(listed);
    return request;
}

} // namespace norvane::app
