#include "Norvane/pages/PortfolioReads.h"

#include <exception>
#include <limits>
#include <map>
#include <string>

#include "Norvane/LogCategories.h"
#include "core/analytics/StreakCalculator.h"

namespace norvane::app {
namespace {

std::vector<ThroughputPoint> throughputPoints(const std::vector<PortfolioMetricsService::ThroughputPoint>& series) {
    std::vector<ThroughputPoint> points;
    points.reserve(series.size());
    for (const auto& point : series) points.push_back({point.date, point.throughput});
    return points;
}

std::vector<ActivityDay> activityDays(const std::vector<PortfolioMetricsService::ParallelismPoint>& series) {
    // A name comes once for each day its project was active: All Time over many projects made a
    // text of each, megabytes of copies, where one text that the days share will do.
    std::map<std::string, QString> names;
    const auto sharedName = [&names](const std::string& name) {
        const auto [found, added] = names.try_emplace(name);
        if (added) found->second = QString::fromStdString(name);
        return found->second;
    };
    std::vector<ActivityDay> days;
    days.reserve(series.size());
    for (const auto& point : series) {
        ActivityDay day{point.date, point.count, {}};
        day.projects.reserve(point.projects.size());
        for (const auto& name : point.projects) day.projects.push_back(sharedName(name));
        days.push_back(std::move(day));
    }
    return days;
}

/// The project as the page lists it, with its line of the index export.
PortfolioProject portfolioProject(const PortfolioPageReads::ListedProject& listed) {
    const auto& project = listed.project;
    const auto& count = listed.codeCount;
    return {project.id,
            project.name,
            count ? std::optional(count->codeLines) : std::nullopt,
            listed.sizeBucket,
            project.firstCommitAt,
            project.baselineVelocity.has_value(),
            {project.name, std::string(platform::rawValue(listed.sizeBucket)), count ? count->codeCategoryCode : 0,
             listed.maturityMultiplier, std::nullopt}};
}

} // namespace

PortfolioReads::PortfolioReads(PortfolioPageReads reads, platform::Clock clock)
    : reads_(std::move(reads)), clock_(std::move(clock)) {}

std::vector<PortfolioProject> PortfolioReads::listedProjects() {
    std::vector<PortfolioProject> projects;
    for (const auto& listed : reads_.listedProjects()) projects.push_back(portfolioProject(listed));
    return projects;
}

PortfolioReads::FirstFrame PortfolioReads::firstFrame() {
    return {listedProjects(), StreakCalculator::calculate(reads_.activeDays(), clock_()), reads_.hasHistory()};
}

PortfolioReads::Series PortfolioReads::series(TimeRange range) {
    const int days = PortfolioFigures::days(range);
    // The charts show their whole range: All Time reaches back to the first day, however long ago.
    const int chartDays = range == TimeRange::allTime ? std::numeric_limits<int>::max() : days;
    Series series;
    try {
        series.throughput = throughputPoints(reads_.throughput(chartDays));
        series.parallelism = activityDays(reads_.parallelism(chartDays));
        series.insights = reads_.insights();
        series.workPatterns = reads_.workPatterns(days);
        series.hasHistory = reads_.hasHistory();
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
        const auto listed = reads_.listedProjects();
        if (!listed.empty()) figures.benchmark = benchmarkRequest(listed, thirtyDays, activeDaysPerWeek);
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load the projects for the Norvane Index: %s", failure.what());
    }
    return figures;
}

std::optional<OutputComposition> PortfolioReads::readCompositions(IndexFigures& figures, int compositionDays) {
    std::map<int, OutputComposition> read;
    const auto composition = [&](int days) {
        if (!read.contains(days)) read.emplace(days, reads_.composition(days));
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
        const auto days = reads_.activeDays();
        figures.streak = StreakCalculator::calculate(days, clock_());
        // Whether any row exists decides whether the consistency can be told at all.
        if (days.empty() && !reads_.hasActivity()) return std::nullopt;
        return PortfolioFigures::activeDaysPerWeek(days, clock_());
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load the streak and the active days: %s", failure.what());
        return std::nullopt;
    }
}

PortfolioReads::BenchmarkRequest
PortfolioReads::benchmarkRequest(const std::vector<PortfolioPageReads::ListedProject>& listed,
                                 const std::optional<OutputComposition>& thirtyDays,
                                 std::optional<double> activeDaysPerWeek) {
    std::vector<std::optional<double>> retentions;
    std::vector<PortfolioProject> projects;
    BenchmarkRequest request;
    for (const auto& entry : listed) {
        try {
            retentions.push_back(reads_.retentionPercent(entry.project));
        } catch (const std::exception& failure) {
            // Left out of the mean.
            qCWarning(pagesLog, "Failed to read the velocity retention of %s: %s", entry.project.name.c_str(),
                      failure.what());
        }
        projects.push_back(portfolioProject(entry));
    }
    request.inputs = {thirtyDays ? std::optional(PortfolioFigures::throughput(*thirtyDays)) : std::nullopt,
                      PortfolioFigures::meanRetention(retentions), activeDaysPerWeek,
                      PortfolioFigures::dominantSizeBucket(projects)};
    request.totalCodeLines = PortfolioFigures::totalCodeLines(projects);
    return request;
}

} // namespace norvane::app
